#include "controls/esgcheck.h"

TExtStringGridCheck::TExtStringGridCheck(QObject* owner) : QObject(owner) {}
TExtStringGridCheck::~TExtStringGridCheck() = default;

QString TExtStringGridCheck::MarkError(int, int, const QString& s) { return s; }
QString TExtStringGridCheck::Correct(int, int, const QString& s) { return s; }
void TExtStringGridCheck::StartCheck() {}
void TExtStringGridCheck::StopCheck() {}
