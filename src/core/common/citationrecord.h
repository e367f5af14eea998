#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace harvly {

// One author: family and given names, or one literal name for a name that does not split
// (most Chinese names, an organisation).
struct CitationName {
    QString family;
    QString given;
    QString literal;

    bool operator==(const CitationName &) const = default;
    QString displayName() const; // "Given Family", or the literal name
};

// A date as far as the page tells it: a year, perhaps its month, perhaps its day.
struct CitationDate {
    int year = 0;
    int month = 0;
    int day = 0;

    bool isEmpty() const { return year == 0; }
    bool operator==(const CitationDate &) const = default;
};

// What kind of work a record describes, as far as the page says.
enum class CitationType { Unknown, Article, Conference, Report };

// What a document page says of the work it shows, as a reference manager needs it.
struct CitationRecord {
    CitationType type = CitationType::Unknown;
    QString title;
    QList<CitationName> authors;
    CitationDate issued;
    QString containerTitle; // the journal or the proceedings
    QString volume;
    QString issue;
    QString firstPage;
    QString lastPage;
    QString doi; // normalised: lower case, "10.NNNN/..."
    QString issn;
    QString publisher;
    QString language;
    QString abstract;
    QStringList keywords;
    QString pdfUrl;  // http or https only
    QString pageUrl; // the page the record was read from

    bool isEmpty() const;  // nothing known of the work (the page address alone is nothing)
    QString pages() const; // "first-last", "first", or ""
    bool operator==(const CitationRecord &) const = default;
};

// A record shared by the rows that carry it; it never changes once made.
using SharedRecord = std::shared_ptr<const CitationRecord>;
// Null for an empty record.
SharedRecord ShareRecord(CitationRecord record);

// Where DOIs are looked up unless the user names another resolver.
inline const QString kDefaultDoiResolver = QStringLiteral("https://doi.org/");

// The DOI in a text that holds one ("doi:10.1/x", "https://doi.org/10.1/X.", "10.1/x"), in
// lower case without prefix or trailing punctuation; "" when the text holds no DOI.
QString NormalizeDoi(const QString &text);
// A date as sites write it: 2021/03/04, 2021-03-04, 2021-03, 2021, 4 March 2021,
// March 4, 2021, 2021-03-04T10:00:00Z; empty when it reads as none.
CitationDate ParseCitationDate(const QString &text);
// "Family, Given", "Given Family", or a literal name (no space to split at, or CJK).
CitationName ParseCitationName(const QString &text);

// The CSL type name of a kind of work ("article-journal", "paper-conference", "report",
// "document"), and back (Unknown for any other name).
QString CslTypeName(CitationType type);
CitationType CitationTypeFromCsl(const QString &name);

// The record under CSL-JSON names (title, author, issued, container-title, volume, issue,
// page, DOI, ISSN, publisher, language, abstract, keyword, URL); the PDF address is not a
// CSL field and is left out.
QJsonObject RecordToCslJson(const CitationRecord &record);
// Back from those names, with the PDF address given apart.
CitationRecord RecordFromCslJson(const QJsonObject &csl, const QString &pdfUrl = {});

// A record kept in a JSON object (a row of a list or of --json output): "record" under the
// CSL-JSON names, its PDF address under pdfKey when it names one; and read back (null when
// the object holds none).
void InsertRecord(QJsonObject &object, const SharedRecord &record, const QString &pdfKey);
SharedRecord RecordIn(const QJsonObject &object, const QString &pdfKey);

// The few lines a tool tip shows: the authors, the journal with volume, issue, pages and
// year, the DOI.
QString RecordSummary(const CitationRecord &record);

} // namespace harvly
