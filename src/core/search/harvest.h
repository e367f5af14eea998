#pragma once

#include "domnode.h"

#include <QString>

#include <functional>

namespace harvly {

class ResultListModel;

// The options a harvest runs with.
struct HarvestOptions {
    QString savePath;     // given to every row added
    bool withHtm = false; // also take HTML full-text links
    // Called when a page that yields nothing is the site's characters check, while a bulk
    // run is going on; empty when none is.
    std::function<void()> onCharactersCheck;
};

// The three result layouts. Each returns the number of records it recognised (which may be
// more than the rows it added: duplicates and skipped HTML links count too).
int HarvestContentAreaPage(const DomDocument &doc, ResultListModel &list, const HarvestOptions &o);
int HarvestItemTitlePage(const DomDocument &doc, ResultListModel &list, const HarvestOptions &o);
int HarvestItemPage(const DomDocument &doc, ResultListModel &list, const HarvestOptions &o);
// A document page as one row; true when it added one.
bool ExtractSingleArticlePdfUrl(const DomDocument &doc, ResultListModel &list,
                                const HarvestOptions &o);
// A document page's text, fetched from its address, as one row; true when it added one.
// pageUrl: where the page finally came from, when a redirect took the fetch elsewhere.
bool ExtractSingleArticlePdfUrl2(const QString &html, const QString &address, ResultListModel &list,
                                 const HarvestOptions &o, const QString &pageUrl = {});
// The layouts in turn until one recognises records, else the page as one document.
void HarvestCurrentPage(const DomDocument &doc, ResultListModel &list, const HarvestOptions &o);

// The page's link to the next result page, if it has one.
const DomNode *FindNextPageLink(const DomDocument &doc);

// True when the page holds something a harvest can take: a result layout or a document.
bool HasHarvestableContent(const DomDocument &doc);

inline const QString kCharactersCheckText = QStringLiteral("要查看所请求的文档，请输入显示的字符");

} // namespace harvly
