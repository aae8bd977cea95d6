#include "platform/clock.h"

#include <QDateTime>

namespace zt {

LocalTime QtClock::now() const {
    const QDateTime t = QDateTime::currentDateTime();
    const QDate d = t.date();
    const QTime h = t.time();
    return {d.year(), d.month(), d.day(), h.hour(), h.minute(), h.second()};
}

}  // namespace zt
