#pragma once
// The program's windows: each window class has one global instance, created
// once at start-up in a fixed order (the main window first) and reachable
// through this header. A window whose class is not part of the program yet is
// not created; its instance stays null and the steps that open it do nothing.
#include "app/UAbout.h"
#include "app/UNew_Project.h"
#include "app/UOpenConf.h"
#include "app/USoftOptions.h"
#include "gateway/UBoot.h"
#include "gateway/ULoRaWAN_Gateway.h"
#include "gateway/UParGen.h"
#include "gateway/UReceiveCAN.h"
#include "gateway/UTransmitCAN.h"
#include "mainwin/UFerravanteeFirmWare.h"

#include <QStringList>

extern TFFerravanteeFirmWare* FFerravanteeFirmWare;
extern TFLoRaWAN_Gateway* FLoRaWAN_Gateway;
extern TFNew_Project* FNew_Project;
extern TFOpenConf* FOpenConf;
extern TFAbout* FAbout;
extern TFSoftOptions* FSoftOptions;
extern TFBoot* FBoot;
extern TFParGen* FParGen;
extern TFReceiveCAN* FReceiveCAN;
extern TFTransmitCAN* FTransmitCAN;

// The classes of the 42 windows in creation order.
const QStringList& Creation_Order();
// The classes whose text routine a language switch calls, in that order.
const QStringList& Language_Order();

// Creates every window the program has, once, in creation order; none is
// shown. Does nothing when they exist already.
void Create_Forms();
// Destroys them in reverse order and clears their instances.
void Destroy_Forms();

// The instance of a window class, null when it is not created.
TForm* Form_Instance(const QString& className);
// The classes created, in the order they were created.
QStringList Created_Forms();

// Calls the text routine of every window that exists, in language order.
void Set_Lang_All_Forms();
