#include "sound.h"

#include "common/programfiles.h"

#include <QCoreApplication>
#include <QHash>
#include <QSoundEffect>
#include <QUrl>

namespace harvly {

void PlaySoundFile(int soundId)
{
    // One effect per sound, kept for the life of the program so a sound is not cut off
    // when the caller's scope ends.
    static QHash<int, QSoundEffect *> effects;
    QSoundEffect *&effect = effects[soundId];
    if (!effect) {
        const QString file = SoundFile(soundId, ProgramDataFolder());
        if (file.isEmpty()) {
            effects.remove(soundId);
            return;
        }
        effect = new QSoundEffect(QCoreApplication::instance());
        effect->setSource(QUrl::fromLocalFile(file));
    }
    effect->play();
}

} // namespace harvly
