// Draws the plug-in's artwork from code.
//
//   QuarrionArtwork --root <repository> --out <folder> [--preview <file.png>]
//
// writes the bitmaps and the logo drawing into <folder>/images/ (the repository's
// source/resources/ when regenerating on purpose, a temporary folder when checking for drift).
// Every image is deterministic: noise comes from a fixed hash, never from a clock.

#include "Artwork.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <iostream>

namespace
{

juce::String argumentAfter(const juce::StringArray& args, const juce::String& name)
{
    const auto index = args.indexOf(name);
    return index >= 0 && index + 1 < args.size() ? args[index + 1] : juce::String();
}

int usage()
{
    std::cerr << "usage: QuarrionArtwork --root <repository> --out <folder> [--preview <file>]\n";
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juce;

    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add(argv[i]);

    const auto rootPath = argumentAfter(args, "--root");
    const auto outPath = argumentAfter(args, "--out");
    const auto previewPath = argumentAfter(args, "--preview");

    if (rootPath.isEmpty() || outPath.isEmpty() || !juce::File::isAbsolutePath(rootPath) ||
        !juce::File::isAbsolutePath(outPath) ||
        (previewPath.isNotEmpty() && !juce::File::isAbsolutePath(previewPath)))
        return usage();

    const auto faces = artwork::loadTypefaces(juce::File(rootPath));
    if (faces.regular == nullptr || faces.bold == nullptr || faces.condensed == nullptr ||
        faces.display == nullptr)
    {
        std::cerr << "cannot load the typefaces below " << rootPath << "\n";
        return 1;
    }

    artwork::ArtworkSet art;
    const auto wordmark = artwork::makeWordmark(faces);
    art.logoSvg = artwork::wordmarkSvg(wordmark);
    art.aboutLogo = artwork::makeAboutLogo(wordmark);
    art.background = artwork::makeBackground();
    art.pedal = artwork::makePedalBody(faces, wordmark);
    art.knobs = artwork::makeKnobStrip();
    art.led = artwork::makeLedStrip();
    art.switchUp = artwork::makeFootswitch(false);
    art.switchDown = artwork::makeFootswitch(true);

    const auto images = juce::File(outPath).getChildFile("images");
    if (!images.createDirectory())
    {
        std::cerr << "cannot create " << images.getFullPathName() << "\n";
        return 1;
    }

    bool ok = true;
    ok = artwork::writePng(art.background, images.getChildFile("background.png")) && ok;
    ok = artwork::writePng(art.pedal, images.getChildFile("pedal_body.png")) && ok;
    ok = artwork::writePng(art.knobs, images.getChildFile("knob_strip.png")) && ok;
    ok = artwork::writePng(art.led, images.getChildFile("led_strip.png")) && ok;
    ok = artwork::writePng(art.switchUp, images.getChildFile("footswitch_up.png")) && ok;
    ok = artwork::writePng(art.switchDown, images.getChildFile("footswitch_down.png")) && ok;
    ok = artwork::writePng(art.aboutLogo, images.getChildFile("about_logo.png")) && ok;
    ok =
        images.getChildFile("veltrano_logo.svg").replaceWithText(art.logoSvg, false, false, "\n") &&
        ok;

    if (previewPath.isNotEmpty())
        ok = artwork::writePng(artwork::makePreview(art), juce::File(previewPath)) && ok;

    if (!ok)
    {
        std::cerr << "writing the artwork failed\n";
        return 1;
    }
    return 0;
}
