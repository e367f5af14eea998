#pragma once

#include <QWidget>

class QWebEngineProfile;
class QWebEngineView;

namespace harvly {

class BrowserPage;

// The embedded browser control: a view over one BrowserPage.
class WebBrowser final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebBrowser)

public:
    explicit WebBrowser(QWebEngineProfile *profile, QWidget *parent = nullptr);
    ~WebBrowser() override;

    BrowserPage *page() const { return m_page; }
    void refresh();
    void back();
    void forward();

private:
    QWebEngineView *m_view;
    BrowserPage *m_page;
};

} // namespace harvly
