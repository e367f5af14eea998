#include "titlematch.h"

#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace harvly {

namespace {

bool isCjk(char32_t c)
{
    return (c >= 0x3040 && c <= 0x30ff) || (c >= 0x3400 && c <= 0x4dbf) ||
           (c >= 0x4e00 && c <= 0x9fff) || (c >= 0xac00 && c <= 0xd7af) ||
           (c >= 0xf900 && c <= 0xfaff) || (c >= 0x20000 && c <= 0x2fa1f);
}

} // namespace

QStringList TitleWords(const QString &text)
{
    QString folded = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
    // "exam-\nple" is one word that the page broke.
    static const QRegularExpression broken(QStringLiteral("(\\w)[-\\x{00AD}\\x{2010}]\\s*\\n\\s*"));
    folded.replace(broken, QStringLiteral("\\1"));
    QStringList words;
    QString word;
    const auto flush = [&] {
        if (!word.isEmpty()) {
            words << word;
            word.clear();
        }
    };
    for (const char32_t c : folded.toUcs4()) {
        if (isCjk(c)) {
            flush();
            words << QString::fromUcs4(&c, 1);
        } else if (QChar::isLetterOrNumber(c) || QChar::category(c) == QChar::Mark_NonSpacing) {
            word += QString::fromUcs4(&c, 1);
        } else {
            flush();
        }
    }
    flush();
    return words;
}

bool TextCarriesTitle(const QString &title, const QString &text)
{
    const QStringList want = TitleWords(title);
    if (want.isEmpty()) {
        return false;
    }
    const QStringList have = TitleWords(text);
    // The longest run of the title's words found in order: one row of the usual table, the
    // title along it (titles are short, the text two pages at most).
    std::vector<int> best(size_t(want.size()) + 1, 0);
    for (const QString &w : have) {
        int diagonal = 0; // best[i] of the previous word of the text
        for (qsizetype i = 1; i <= want.size(); ++i) {
            const int above = best[size_t(i)];
            best[size_t(i)] =
                w == want.at(i - 1) ? diagonal + 1 : std::max(above, best[size_t(i - 1)]);
            diagonal = above;
        }
        if (best.back() == want.size()) {
            break;
        }
    }
    return best.back() * 5 >= want.size() * 4;
}

} // namespace harvly
