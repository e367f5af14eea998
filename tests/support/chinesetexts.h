#pragma once

#include <QCoreApplication>
#include <QTest>
#include <QTranslator>

// The Chinese program's texts, installed while this lives (as the program installs them at
// start). Tests that build a Chinese core object hold one.
class ChineseTexts final
{
public:
    ChineseTexts()
    {
        m_loaded = m_translator.load(QStringLiteral(HARVLY_ZH_QM));
        if (m_loaded) {
            QCoreApplication::installTranslator(&m_translator);
        }
    }
    ~ChineseTexts()
    {
        if (m_loaded) {
            QCoreApplication::removeTranslator(&m_translator);
        }
    }
    Q_DISABLE_COPY_MOVE(ChineseTexts)
    bool loaded() const { return m_loaded; }

private:
    QTranslator m_translator;
    bool m_loaded = false;
};
