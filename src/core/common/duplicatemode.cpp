#include "duplicatemode.h"

namespace harvly {

DuplicateMode DuplicateModeFromText(const QString &text, const Build &build)
{
    const QString t = text.trimmed();
    if (t == DuplicateModeText(DuplicateMode::Skip, build)) {
        return DuplicateMode::Skip;
    }
    if (t == DuplicateModeText(DuplicateMode::Cover, build)) {
        return DuplicateMode::Cover;
    }
    return DuplicateMode::Rename;
}

QString DuplicateModeText(DuplicateMode mode, const Build &build)
{
    const bool zh = build.isChinese();
    switch (mode) {
    case DuplicateMode::Skip:
        return zh ? QStringLiteral("跳过") : QStringLiteral("Skip");
    case DuplicateMode::Cover:
        return zh ? QStringLiteral("覆盖") : QStringLiteral("Cover");
    case DuplicateMode::Rename:
        break;
    }
    return zh ? QStringLiteral("重命名") : QStringLiteral("Rename");
}

} // namespace harvly
