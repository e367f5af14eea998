#include "webbrowser.h"

#include "browserpage.h"

#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineView>

namespace harvly {

WebBrowser::WebBrowser(QWebEngineProfile *profile, QWidget *parent)
    : QWidget(parent), m_view(new QWebEngineView(this)), m_page(new BrowserPage(profile, m_view))
{
    m_view->setPage(m_page);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

WebBrowser::~WebBrowser()
{
    // The page goes before its view, so the view never points at a deleted page.
    m_view->setPage(nullptr);
    delete m_page;
}

void WebBrowser::refresh()
{
    m_page->triggerAction(QWebEnginePage::Reload);
}

void WebBrowser::back()
{
    m_page->triggerAction(QWebEnginePage::Back);
}

void WebBrowser::forward()
{
    m_page->triggerAction(QWebEnginePage::Forward);
}

} // namespace harvly
