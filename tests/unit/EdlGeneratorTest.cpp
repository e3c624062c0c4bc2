// The generated lists that tests and benchmarks rely on: reproducible, within the capacity, and
// shaped as their names promise.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "conversion/AudioExtensions.h"
#include "tests/support/EdlGenerator.h"

namespace tarvelin::testsupport {
namespace {

constexpr std::array<EdlShape, 5> kShapes{EdlShape::Typical, EdlShape::Adversarial, EdlShape::Worst,
                                          EdlShape::Run, EdlShape::Late};

// Every line break is CR LF, the text ends with one, and nothing lies above U+00FF.
void expectWellFormed(const std::u16string& text)
{
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(text.size() - 2), u"\r\n");
    for (std::size_t i = 0; i < text.size(); ++i) {
        ASSERT_LE(text[i], u'\u00FF') << "at " << i;
        if (text[i] == u'\r') {
            ASSERT_EQ(text[i + 1], u'\n') << "at " << i;
        }
        if (text[i] == u'\n') {
            ASSERT_EQ(text[i - 1], u'\r') << "at " << i;
        }
    }
}

TEST(EdlGeneratorTest, SameSeedGivesSameTextAndOtherSeedAnother)
{
    for (EdlShape shape : kShapes) {
        SCOPED_TRACE(std::string(shapeName(shape)));
        const std::u16string first = EdlGenerator(7).edl(shape, 500).text;
        EXPECT_EQ(first, EdlGenerator(7).edl(shape, 500).text);
        EXPECT_NE(first, EdlGenerator(8).edl(shape, 500).text);
        expectWellFormed(first);
    }
    EXPECT_EQ(EdlGenerator(7).cueLines(300).text, EdlGenerator(7).cueLines(300).text);
    expectWellFormed(EdlGenerator(7).cueLines(300).text);
}

TEST(EdlGeneratorTest, ShapesPlaceTheMusicEventsAsNamed)
{
    const auto music = [](EdlShape shape) { return EdlGenerator(3).edl(shape, 1000); };
    EXPECT_EQ(music(EdlShape::Typical).musicEvents, 100u);
    EXPECT_EQ(music(EdlShape::Adversarial).musicEvents, 100u);
    EXPECT_EQ(music(EdlShape::Worst).musicEvents, 0u);
    EXPECT_EQ(music(EdlShape::Typical).events, 1000u);

    // The adversarial list has all its music clips in the first tenth of its text.
    const std::u16string adversarial = music(EdlShape::Adversarial).text;
    const auto lastMusicClip = [](const std::u16string& text) {
        std::size_t last = 0;
        for (std::u16string_view extension : kAudioExtensions) {
            const std::size_t at = text.rfind(u"." + std::u16string(extension) + u"\r");
            if (at != std::u16string::npos) last = std::max(last, at);
        }
        return last;
    };
    EXPECT_LT(lastMusicClip(adversarial), adversarial.size() / 9);

    // The late list has one music clip, on its last line, filled to a size or not.
    for (const GeneratedText& late :
         {music(EdlShape::Late), EdlGenerator(3).edlUpTo(EdlShape::Late, 100'000)}) {
        EXPECT_EQ(late.musicEvents, 1u);
        EXPECT_EQ(late.text.rfind(u"\r\n", late.text.size() - 3),
                  late.text.rfind(u"\r\n", lastMusicClip(late.text)));
    }

    // The run is one line of the given length after the event line.
    const std::u16string run = EdlGenerator(3).edl(EdlShape::Run, 5000).text;
    const std::size_t lineStart = run.rfind(u"\r\n", run.size() - 3) + 2;
    EXPECT_EQ(run.size() - 2 - lineStart, 5000u);
}

TEST(EdlGeneratorTest, UpToALimitFillsButNeverExceedsIt)
{
    constexpr std::size_t kLimit = 1'000'003;
    for (EdlShape shape : kShapes) {
        SCOPED_TRACE(std::string(shapeName(shape)));
        const GeneratedText full = EdlGenerator(11).edlUpTo(shape, kLimit);
        EXPECT_LE(full.text.size(), kLimit);
        // One more event would not fit (the late list keeps room for its music event).
        EXPECT_GT(full.text.size(), kLimit - (shape == EdlShape::Late ? 400 : 200));
    }
    const GeneratedText cues = EdlGenerator(11).cueLinesUpTo(kLimit);
    EXPECT_LE(cues.text.size(), kLimit);
    EXPECT_GT(cues.text.size(), kLimit - 200);
    EXPECT_TRUE(EdlGenerator(11).edlUpTo(EdlShape::Typical, 10).text.empty());
}

}  // namespace
}  // namespace tarvelin::testsupport
