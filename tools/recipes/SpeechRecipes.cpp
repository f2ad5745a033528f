// Spoken lines: the recipe's text said by espeak-ng, synthesised into memory
// (synchronous output, no sound device) and encoded like every other sound.
//
// espeak-ng carries its voice state (the pitch flutter's phase, the wave
// generator's position) from one utterance to the next and has no call that
// resets it, so the same text said twice in one process gives different
// samples. Each line is therefore spoken by a child process of its own, in
// which it is the first utterance: the same recipe always gives the same
// samples, and lines may be spoken on several threads at once.
#include "tools/recipes/RecipeKinds.h"

#include "tools/recipes/RecipeSound.h"

#include <espeak-ng/speak_lib.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

// What the child reports before the samples.
enum ChildStatus : int32_t { k_spoken = 0, k_noEspeak = 1, k_noVoice = 2, k_notSaid = 3 };

struct Line
{
    std::string text;
    std::string voice;
    int wordsPerMinute = 150;
    int pitch = 50;
};

int collect(short* wav, int count, espeak_EVENT* events)
{
    auto* out = static_cast<std::vector<int16_t>*>(events->user_data);
    if (wav != nullptr && count > 0) out->insert(out->end(), wav, wav + count);
    return 0; // go on
}

bool writeAll(int fd, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The child: status, rate, then the samples, all native-endian.
[[noreturn]] void speakInChild(int fd, const Line& line)
{
    std::vector<int16_t> samples;
    int32_t status = k_spoken;
    int32_t rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0);
    if (rate <= 0) {
        status = k_noEspeak;
    } else if (espeak_SetVoiceByName(line.voice.c_str()) != EE_OK) {
        status = k_noVoice;
    } else {
        espeak_SetSynthCallback(collect);
        espeak_SetParameter(espeakRATE, line.wordsPerMinute, 0);
        espeak_SetParameter(espeakPITCH, line.pitch, 0);
        espeak_SetParameter(espeakRANGE, 50, 0);
        espeak_SetParameter(espeakVOLUME, 100, 0);
        if (espeak_Synth(line.text.c_str(), line.text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                         nullptr, &samples) != EE_OK)
            status = k_notSaid;
    }
    const bool written = writeAll(fd, &status, sizeof status) && writeAll(fd, &rate, sizeof rate) &&
                         writeAll(fd, samples.data(), samples.size() * sizeof(int16_t));
    ::_exit(written ? 0 : 1);
}

RecipeSound speak(const Recipe& recipe, const Line& line)
{
    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error(std::string("cannot speak: ") + std::strerror(errno));
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw std::runtime_error(std::string("cannot speak: ") + std::strerror(errno));
    }
    if (child == 0) {
        ::close(fds[0]);
        speakInChild(fds[1], line);
    }
    ::close(fds[1]);
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    ::close(fds[0]);
    int wait = 0;
    while (::waitpid(child, &wait, 0) < 0 && errno == EINTR) {
    }
    int32_t status = -1;
    int32_t rate = 0;
    if (!WIFEXITED(wait) || WEXITSTATUS(wait) != 0 || bytes.size() < 8)
        throw std::runtime_error("espeak-ng ended without speaking recipe " + recipe.name());
    std::memcpy(&status, bytes.data(), 4);
    std::memcpy(&rate, bytes.data() + 4, 4);
    if (status == k_noEspeak)
        throw std::runtime_error("espeak-ng cannot start (is espeak-ng-data installed?)");
    if (status == k_noVoice) recipe.fail("voice", "espeak-ng has no voice '" + line.voice + "'");
    if (status != k_spoken) recipe.fail("text", "espeak-ng could not say it");
    RecipeSound sound;
    sound.channels = 1;
    sound.rate = rate;
    sound.samples.resize((bytes.size() - 8) / sizeof(int16_t));
    std::memcpy(sound.samples.data(), bytes.data() + 8, sound.samples.size() * sizeof(int16_t));
    return sound;
}

RecipeAsset speech(const Recipe& recipe)
{
    Line line;
    line.text = recipe.text("text");
    if (line.text.empty()) recipe.fail("text", "nothing to say");
    line.voice = recipe.text("voice", "en");
    line.wordsPerMinute = recipe.integer("speed", 80, 450, 150);
    line.pitch = recipe.integer("pitch", 0, 99, 50);
    const RecipeSound sound = speak(recipe, line);
    if (sound.samples.empty()) recipe.fail("text", "espeak-ng said nothing");
    return encodeRecipeSound(recipe, sound);
}

} // namespace

const std::vector<RecipeKind>& speechRecipeKinds()
{
    static const std::vector<RecipeKind> kinds = {{"speech", recipeSoundExtension, speech}};
    return kinds;
}
