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
    if (settings.get(Keys::FormResolution, formName) != GetScreenResolution(screenPixels)) {
        p.maximised = true;
        return p;
    }
    const int top = qMax(0, settings.get(Keys::FormTop, formName));
    const int left = qMax(0, settings.get(Keys::FormLeft, formName));
    const int width = qMax(4000, settings.get(Keys::FormWidth, formName));
    const int height = qMax(3000, settings.get(Keys::FormHeight, formName));
    p.twips = QRect(left, top, width, height);
    return p;
}

void SaveFormPosition(Settings &settings, const QString &formName, const FormPlacement &placement,
                      QSize screenPixels)
{
    if (placement.maximised) {
        settings.set(Keys::FormResolution, QStringLiteral("0*0"), formName);
        return;
    }
    settings.set(Keys::FormResolution, GetScreenResolution(screenPixels), formName);
    settings.set(Keys::FormTop, placement.twips.top(), formName);
    settings.set(Keys::FormLeft, placement.twips.left(), formName);
    settings.set(Keys::FormWidth, placement.twips.width(), formName);
    settings.set(Keys::FormHeight, placement.twips.height(), formName);
}

} // namespace harvly
