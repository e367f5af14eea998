#include "formposition.h"

#include "settings.h"

namespace harvly {

QString GetScreenResolution(QSize screenPixels)
{
    return QStringLiteral("%1*%2").arg(screenPixels.width()).arg(screenPixels.height());
}

FormPlacement LoadFormPosition(const Settings &settings, const QString &formName,
                               QSize screenPixels)
{
    FormPlacement p;
    if (settings.text(Setting::FormResolution, formName) != GetScreenResolution(screenPixels)) {
        p.maximised = true;
        return p;
    }
    const int top = qMax(0, settings.integer(Setting::FormTop, formName));
    const int left = qMax(0, settings.integer(Setting::FormLeft, formName));
    const int width = qMax(4000, settings.integer(Setting::FormWidth, formName));
    const int height = qMax(3000, settings.integer(Setting::FormHeight, formName));
    p.twips = QRect(left, top, width, height);
    return p;
}

void SaveFormPosition(Settings &settings, const QString &formName, const FormPlacement &placement,
                      QSize screenPixels)
{
    if (placement.maximised) {
        settings.setText(Setting::FormResolution, QStringLiteral("0*0"), formName);
        return;
    }
    settings.setText(Setting::FormResolution, GetScreenResolution(screenPixels), formName);
    settings.setInteger(Setting::FormTop, placement.twips.top(), formName);
    settings.setInteger(Setting::FormLeft, placement.twips.left(), formName);
    settings.setInteger(Setting::FormWidth, placement.twips.width(), formName);
    settings.setInteger(Setting::FormHeight, placement.twips.height(), formName);
}

} // namespace harvly
