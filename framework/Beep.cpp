#include "framework/Beep.h"

#include <QApplication>

namespace quorvane {

namespace {
int g_beepCount = 0;
}

void Beep()
{
    ++g_beepCount;
    QApplication::beep();
}

int BeepCount() { return g_beepCount; }

}  // namespace quorvane
