// The module that opens PDFs with Poppler for the document check.
#include "download/pdfopen.h"

#include <QFile>

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <memory>
#include <mutex>
#include <string>

namespace {

// Poppler reports what it finds wrong through one function for the whole process; each
// thread keeps what was said during its own check.
thread_local std::string t_said;

void keepWhatPopplerSays(const std::string &message, void *)
{
    if (t_said.empty()) {
        t_said = message;
    }
}

QString fromUstring(const poppler::ustring &text)
{
    const poppler::byte_array utf8 = text.to_utf8();
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

} // namespace

extern "C" Q_DECL_EXPORT void harvly_open_pdf(const QString &file, harvly::PdfOpened &opened)
{
    using harvly::PdfOpened;
    static std::once_flag installed;
    std::call_once(installed,
                   [] { poppler::set_debug_error_function(&keepWhatPopplerSays, nullptr); });
    t_said.clear();
    const std::unique_ptr<poppler::document> doc(
        poppler::document::load_from_file(QFile::encodeName(file).toStdString()));
    if (doc && doc->is_locked()) {
        opened.result = PdfOpened::Result::Locked;
    } else if (doc) {
        opened.result = PdfOpened::Result::Opened;
        opened.pages = doc->pages();
        opened.text = fromUstring(doc->get_title());
        for (int i = 0; i < std::min(opened.pages, 2); ++i) {
            const std::unique_ptr<poppler::page> page(doc->create_page(i));
            if (page) {
                opened.text += QLatin1Char('\n') + fromUstring(page->text());
            }
        }
    }
    opened.problem = QString::fromStdString(t_said);
}
