#pragma once
// The program's shared state (folders, the open configuration, the settings,
// the project file paths and the text table), saved when a test starts and
// put back when it ends, so that no test leaves it changed for the next one.
// For the test binaries of the application layer and above.
#include "app/UComon.h"
#include "app/ULanguage.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

class SharedStateSnapshot {
public:
    SharedStateSnapshot()
        : m_strings(Strings()), m_updateOptionIndex(Update_Option_Index), m_updateReadBack(Update_Read_Back),
          m_flags{Enable_Internet, Enable_Update, Enable_Jump_Field_Tables, Double_Click_Auto_Size},
          m_lists{SL_Copy_Row, SL_MIB_Read, SL_MIB_Write}, m_copyRowIsCheckBox(Copy_Row_Is_CheckBox), m_lang(SL_Lang),
          m_maxLangIndex(Max_Lang_Index)
    {
        for (const ProjectFileEntry& f : Project_Files()) m_files.push_back(*f.path);
    }
    ~SharedStateSnapshot()
    {
        const std::vector<QString*> s = Strings();
        for (size_t i = 0; i < s.size(); ++i) *s[i] = m_strings[i];
        Update_Option_Index = m_updateOptionIndex;
        Update_Read_Back = m_updateReadBack;
        Enable_Internet = m_flags[0];
        Enable_Update = m_flags[1];
        Enable_Jump_Field_Tables = m_flags[2];
        Double_Click_Auto_Size = m_flags[3];
        SL_Copy_Row = m_lists[0];
        SL_MIB_Read = m_lists[1];
        SL_MIB_Write = m_lists[2];
        Copy_Row_Is_CheckBox = m_copyRowIsCheckBox;
        size_t i = 0;
        for (const ProjectFileEntry& f : Project_Files()) *f.path = m_files[i++];
        SL_Lang = m_lang;
        Max_Lang_Index = m_maxLangIndex;
    }
    SharedStateSnapshot(const SharedStateSnapshot&) = delete;
    SharedStateSnapshot& operator=(const SharedStateSnapshot&) = delete;

private:
    static std::vector<QString*> Strings()
    {
        return {&Project_Name,    &Project_Path, &Projects_Path,   &Exe_Path,      &Master_Path, &Language_Path,
                &Main_Caption,    &SW_Code,      &SW_Desc,         &Last_IP_Address, &Language_Name, &EDE_File_Dir};
    }
    // The values of Strings(), taken at construction.
    struct Values : std::vector<QString> {
        explicit Values(const std::vector<QString*>& from)
        {
            for (QString* s : from) push_back(*s);
        }
    };

    Values m_strings;
    int32_t m_updateOptionIndex;
    bool m_updateReadBack;
    bool m_flags[4];
    QStringList m_lists[3];
    std::vector<bool> m_copyRowIsCheckBox;
    std::vector<QString> m_files;
    TLangTable m_lang;
    int32_t m_maxLangIndex;
};

// A test fixture that leaves the shared state as it found it.
class SharedStateTest : public ::testing::Test {
private:
    SharedStateSnapshot m_saved;
};
