#include "seconds.h"

namespace harvly {

std::optional<std::chrono::seconds> SecondsFromText(const QString &text)
{
    bool ok = false;
    const double seconds = text.trimmed().toDouble(&ok);
    if (!ok || seconds < 0 || seconds > 1e9) {
        return std::nullopt;
    }
    return std::chrono::seconds(qint64(seconds));
}

} // namespace harvly
