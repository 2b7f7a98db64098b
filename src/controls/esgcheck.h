#pragma once
// Base class of the cell checkers a string grid can be linked to: a
// component that may correct a cell's text and mark errors in it. The base
// changes nothing; real checkers override the four virtual operations. The
// flags tell the grid when to call them.
#include <QObject>
#include <QString>

class TExtStringGridCheck : public QObject {
    Q_OBJECT
public:
    // Owned by `owner` (freed with it) when one is given.
    explicit TExtStringGridCheck(QObject* owner = nullptr);
    ~TExtStringGridCheck() override;

    // The text of cell (ACol, ARow) with its errors marked.
    virtual QString MarkError(int ACol, int ARow, const QString& s);
    // The corrected text of cell (ACol, ARow).
    virtual QString Correct(int ACol, int ARow, const QString& s);
    // Called once before and once after a check of a range of cells.
    virtual void StartCheck();
    virtual void StopCheck();

    // During a range check the grid visits each cell and returns at the end.
    bool GotoCell() const { return FGotoCell; }
    void SetGotoCell(bool v) { FGotoCell = v; }
    // Correct every edited value before the grid's cell validation.
    bool AutoCorrect() const { return FAutoCorrect; }
    void SetAutoCorrect(bool v) { FAutoCorrect = v; }
    // Mark errors in every edited value after the grid's cell validation.
    bool AutoMarkError() const { return FAutoMarkError; }
    void SetAutoMarkError(bool v) { FAutoMarkError = v; }
    // The grid's explicit check operations call Correct / MarkError.
    bool UseCorrect() const { return FUseCorrect; }
    void SetUseCorrect(bool v) { FUseCorrect = v; }
    bool UseMarkError() const { return FUseMarkError; }
    void SetUseMarkError(bool v) { FUseMarkError = v; }

    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }

private:
    bool FGotoCell = false;
    bool FAutoCorrect = false;
    bool FAutoMarkError = false;
    bool FUseCorrect = false;
    bool FUseMarkError = false;
    int FTag = 0;
};
