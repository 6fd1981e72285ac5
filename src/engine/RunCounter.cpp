#include "RunCounter.h"

#include "Settings.h"
#include "SettingsKeys.h"

namespace RunCounter {

void resetAtLaunch() {
    Settings::setValue(SettingsKeys::ConvertCount, 0);
}

qint64 countFinishedRun() {
    const qint64 count = Settings::integerValue(SettingsKeys::ConvertCount) + 1;
    Settings::setValue(SettingsKeys::ConvertCount, count);
    return count;
}

} // namespace RunCounter
