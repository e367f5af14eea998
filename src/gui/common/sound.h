#pragma once

namespace harvly {

// Starts one of the program's prompt sounds (101, 102, 103) without waiting for it.
void PlaySoundFile(int soundId);

} // namespace harvly
