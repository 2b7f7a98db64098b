#include "mainwin/Forms.h"

#include <functional>
#include <vector>

TFFerravanteeFirmWare* FFerravanteeFirmWare = nullptr;
TFLoRaWAN_Gateway* FLoRaWAN_Gateway = nullptr;
TFNew_Project* FNew_Project = nullptr;
TFOpenConf* FOpenConf = nullptr;
TFAbout* FAbout = nullptr;
TFSoftOptions* FSoftOptions = nullptr;
TFBoot* FBoot = nullptr;
TFParGen* FParGen = nullptr;
TFReceiveCAN* FReceiveCAN = nullptr;
TFTransmitCAN* FTransmitCAN = nullptr;

namespace {

struct Form_Slot {
    QString className;
    std::function<void()> create;
    std::function<TForm*()> instance;
    std::function<void()> destroy;
};

template <class T>
Form_Slot Slot(const char* className, T*& instance)
{
    return {QString::fromLatin1(className), [&instance] { instance = new T(); },
            [&instance]() -> TForm* { return instance; },
            [&instance] {
                delete instance;
                instance = nullptr;
            }};
}

// The window classes of the program. A new window is one line here.
const std::vector<Form_Slot>& Slots()
{
    static const std::vector<Form_Slot> table = {
        Slot("TFFerravanteeFirmWare", FFerravanteeFirmWare),
        Slot("TFLoRaWAN_Gateway", FLoRaWAN_Gateway),
        Slot("TFNew_Project", FNew_Project),
        Slot("TFOpenConf", FOpenConf),
        Slot("TFAbout", FAbout),
        Slot("TFSoftOptions", FSoftOptions),
        Slot("TFBoot", FBoot),
        Slot("TFParGen", FParGen),
        Slot("TFReceiveCAN", FReceiveCAN),
        Slot("TFTransmitCAN", FTransmitCAN),
    };
    return table;
}

const Form_Slot* Find(const QString& className)
{
    for (const Form_Slot& s : Slots())
        if (s.className == className) return &s;
    return nullptr;
}

QStringList& Created()
{
    static QStringList created;
    return created;
}

// After creation: the links between windows of different layers.
void Connect_Forms()
{
    if (FSoftOptions && FFerravanteeFirmWare)
        FSoftOptions->OnChange_Language = [] { FFerravanteeFirmWare->Change_Language(); };
}

} // namespace

const QStringList& Creation_Order()
{
    static const QStringList order = {
        "TFFerravanteeFirmWare", "TFLoRaWAN_Gateway", "TFNew_Project", "TFOpenConf", "TFAbout", "TFSoftOptions",
        "TFBoot", "TFParGen", "TFReceiveCAN", "TFTransmitCAN", "TFSetAccess", "TFModbus_TCP_Master_Set_Access",
        "TFBACnetAccess", "TFImportEDEFile", "TFBACnet_Eng_Unit", "TFBACnetSlaveSetAccess", "TFSet_PDO_Access",
        "TFSet_SDO_Client_Access", "TFSet_SDO_Server_Access", "TFDefOffset", "TFDNet", "TFDMXDefVal",
        "TFIEC_61850_Access", "TFIEC61850_Variables", "TFTLS_Server_Known_Cert", "TFReceiveJ1939", "TFTransmitJ1939",
        "TFMQTT_Set_Topic", "TFTopicTemplate", "TFReceiveNMEA", "TFTransmitNMEA", "TFOPC_UA_Add_Server",
        "TFOPC_UA_Client_Access", "TFOPC_UA_Scan_Server", "TFOPC_UA_Server_Access", "TFSNMPManagerAccess",
        "TFSNMP_Trap_Access", "TFProfinetFileName", "TFEtherNEtIP_EDS", "TFEtherNetIP_Master_Access",
        "TFS7_Protocol_Set_Access", "TFKNXAccess",
    };
    return order;
}

const QStringList& Language_Order()
{
    static const QStringList order = {
        "TFFerravanteeFirmWare", "TFNew_Project", "TFOpenConf", "TFSoftOptions", "TFBoot", "TFParGen", "TFSetAccess",
        "TFModbus_TCP_Master_Set_Access", "TFBACnetAccess", "TFImportEDEFile", "TFBACnetSlaveSetAccess",
        "TFBACnet_Eng_Unit", "TFReceiveCAN", "TFTransmitCAN", "TFSet_PDO_Access", "TFSet_SDO_Client_Access",
        "TFSet_SDO_Server_Access", "TFDNet", "TFDefOffset", "TFDMXDefVal", "TFIEC_61850_Access",
        "TFTLS_Server_Known_Cert", "TFIEC61850_Variables", "TFReceiveJ1939", "TFTransmitJ1939", "TFMQTT_Set_Topic",
        "TFTopicTemplate", "TFReceiveNMEA", "TFTransmitNMEA", "TFOPC_UA_Client_Access", "TFOPC_UA_Add_Server",
        "TFOPC_UA_Scan_Server", "TFOPC_UA_Server_Access", "TFSNMPManagerAccess", "TFSNMP_Trap_Access",
        "TFProfinetFileName", "TFEtherNetIP_Master_Access", "TFEtherNEtIP_EDS", "TFS7_Protocol_Set_Access",
        "TFKNXAccess", "TFLoRaWAN_Gateway",
    };
    return order;
}

void Create_Forms()
{
    if (!Created().isEmpty()) return;
    for (const QString& name : Creation_Order())
        if (const Form_Slot* s = Find(name)) {
            s->create();
            Created().append(name);
        }
    Connect_Forms();
}

void Destroy_Forms()
{
    for (auto it = Created().crbegin(); it != Created().crend(); ++it)
        if (const Form_Slot* s = Find(*it)) s->destroy();
    Created().clear();
}

TForm* Form_Instance(const QString& className)
{
    const Form_Slot* s = Find(className);
    return s ? s->instance() : nullptr;
}

QStringList Created_Forms() { return Created(); }

void Set_Lang_All_Forms()
{
    for (const QString& name : Language_Order())
        if (TForm* f = Form_Instance(name)) f->Set_Lang();
}
