#pragma once

#include "common/build.h"

#include <QString>

#include <optional>

namespace harvly {

// "1.10.0" as one number (major × 10,000,000 + minor × 10,000 + revision); nullopt unless the
// text is exactly three numeric parts.
std::optional<qint64> ComposedVersion(const QString &text);

// The update server's reply: taken when, trimmed, it is not empty and no longer than the
// build allows; then whether it names a newer version than the build's own.
struct LatestVersion {
    bool taken = false; // a reply worth showing
    bool newer = false;
    QString text; // the reply, trimmed
};
LatestVersion CompareLatestVersion(const QString &reply, const Build &build);

// Where the version text and the product page are, on an update server ("": none).
QString LatestVersionAddress(const QString &server);
QString ProductPageAddress(const QString &server);

} // namespace harvly
