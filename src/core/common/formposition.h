#pragma once

#include <QRect>
#include <QSize>
#include <QString>

namespace harvly {

class Settings;

constexpr int kTwipsPerPixel = 15;

// "1920*1080" for a screen of that many pixels.
QString GetScreenResolution(QSize screenPixels);

// A window's stored placement, in twips. Restored only on the screen it was saved on;
// anywhere else the window opens maximised.
struct FormPlacement {
    bool maximised = false;
    QRect twips;
};

FormPlacement LoadFormPosition(const Settings &settings, const QString &formName,
                               QSize screenPixels);
void SaveFormPosition(Settings &settings, const QString &formName, const FormPlacement &placement,
                      QSize screenPixels);

} // namespace harvly
