#include "editor/lookandfeel/pluginLookAndFeel.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

namespace
{

const juce::Colour textColour(0xfff0e9de);
const juce::Colour menuBackground(0xd93f3f3f);

class PluginLookAndFeel : public ::testing::Test
{
protected:
    PluginLookAndFeel()
    {
        // The colours the editor gives the look-and-feel.
        laf.setColour(juce::PopupMenu::backgroundColourId, menuBackground);
        laf.setColour(juce::PopupMenu::textColourId, textColour);
        laf.setColour(juce::PopupMenu::highlightedBackgroundColourId, textColour);
        laf.setColour(juce::PopupMenu::highlightedTextColourId, menuBackground);
        laf.setColour(juce::BubbleComponent::backgroundColourId, menuBackground);
        laf.setColour(juce::BubbleComponent::outlineColourId, juce::Colour(0xd9f0e9de));
    }

    static juce::Image blank(int w, int h, juce::Colour fill = juce::Colours::transparentBlack)
    {
        juce::Image image(juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
        juce::Graphics g(image);
        g.fillAll(fill);
        return image;
    }

    void drawItem(juce::Image& image, juce::Rectangle<int> area, bool separator, bool ticked,
                  bool subMenu = false, bool highlighted = false)
    {
        juce::Graphics g(image);
        laf.drawPopupMenuItem(g, area, separator, true, highlighted, ticked, subMenu, {}, {},
                              nullptr, nullptr);
    }

    juce::ScopedJuceInitialiser_GUI gui;
    juce::Component editor;
    pluginLookAndFeel laf{&editor};
};

TEST_F(PluginLookAndFeel, SeparatorIsADarkLineOverALightOne)
{
    struct Case
    {
        int y, height, darkRow;
    };
    // The dark line sits at y + min (h / 2 - 1, h).
    const Case cases[] = {{0, 10, 4}, {20, 21, 29}, {30, 3, 30}, {5, 2, 5}};
    const juce::Colour grey(0xff808080);

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.height);
        auto image = blank(100, 60, grey);
        drawItem(image, {0, c.y, 100, c.height}, true, false);

        // 0x33000000 over grey, then 0x66ffffff over grey.
        EXPECT_NEAR(image.getPixelAt(50, c.darkRow).getRed(), 102, 1);
        EXPECT_NEAR(image.getPixelAt(50, c.darkRow + 1).getRed(), 179, 1);
        // Nothing else: rows around the pair and the 5-pixel margins stay untouched.
        EXPECT_EQ(image.getPixelAt(50, c.darkRow - 1), grey);
        EXPECT_EQ(image.getPixelAt(50, c.darkRow + 2), grey);
        EXPECT_EQ(image.getPixelAt(4, c.darkRow), grey);
        EXPECT_EQ(image.getPixelAt(95, c.darkRow), grey);
        EXPECT_NE(image.getPixelAt(5, c.darkRow), grey);
    }
}

TEST_F(PluginLookAndFeel, TickedItemShowsAFivePixelDotNotATick)
{
    auto ticked = blank(200, 24);
    auto plain = blank(200, 24);
    drawItem(ticked, {0, 0, 200, 24}, false, true);
    drawItem(plain, {0, 0, 200, 24}, false, false);

    double coverage = 0.0, cx = 0.0, cy = 0.0;
    juce::Rectangle<int> inked;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 200; ++x)
        {
            const auto a = ticked.getPixelAt(x, y).getFloatAlpha();
            EXPECT_EQ(plain.getPixelAt(x, y).getAlpha(), 0);
            if (a <= 0.0f)
                continue;
            coverage += a;
            cx += a * (x + 0.5);
            cy += a * (y + 0.5);
            inked =
                inked.isEmpty() ? juce::Rectangle<int>(x, y, 1, 1) : inked.getUnion({x, y, 1, 1});
        }

    // A disc of 5 pixels' diameter covers about 19.6 pixels; the dot sits at the icon area's
    // centre (14.5, 12) moved by half a pixel: the icon area is 4 + 21 by 4 + 16 pixels.
    EXPECT_NEAR(coverage, juce::MathConstants<double>::pi * 2.5 * 2.5, 2.0);
    EXPECT_NEAR(cx / coverage, 15.0, 0.3);
    EXPECT_NEAR(cy / coverage, 12.5, 0.3);
    EXPECT_LE(inked.getWidth(), 6);
    EXPECT_LE(inked.getHeight(), 6);
    EXPECT_EQ(ticked.getPixelAt(15, 12).withAlpha((juce::uint8)255), textColour);
}

TEST_F(PluginLookAndFeel, HighlightedItemFillsInsideAOnePixelMargin)
{
    auto image = blank(120, 20);
    drawItem(image, {0, 0, 120, 20}, false, false, false, true);
    EXPECT_EQ(image.getPixelAt(0, 0).getAlpha(), 0);
    EXPECT_EQ(image.getPixelAt(119, 19).getAlpha(), 0);
    EXPECT_EQ(image.getPixelAt(1, 1), textColour);
    EXPECT_EQ(image.getPixelAt(118, 18), textColour);
}

TEST_F(PluginLookAndFeel, SubMenuArrowIsATriangleAtTheRightEnd)
{
    auto image = blank(200, 24);
    drawItem(image, {0, 0, 200, 24}, false, false, true);

    juce::Rectangle<int> inked;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 200; ++x)
            if (image.getPixelAt(x, y).getAlpha() > 64)
                inked = inked.isEmpty() ? juce::Rectangle<int>(x, y, 1, 1)
                                        : inked.getUnion({x, y, 1, 1});

    const auto a = 0.6f * laf.getPopupMenuFont().getAscent();
    const auto left = 199 - (int)a; // the item reduced by one pixel ends at 199
    ASSERT_FALSE(inked.isEmpty());
    EXPECT_NEAR(inked.getX(), left, 1);
    EXPECT_NEAR(inked.getRight(), left + 0.6f * a, 1.5);
    EXPECT_NEAR(inked.getCentreY(), 12, 1);
    EXPECT_NEAR(inked.getHeight(), a, 2);
}

TEST_F(PluginLookAndFeel, MenuBackgroundAndBubbleAreRoundedBoxesWithoutArrow)
{
    auto menu = blank(60, 40);
    {
        juce::Graphics g(menu);
        laf.drawPopupMenuBackground(g, 60, 40);
    }
    EXPECT_EQ(menu.getPixelAt(0, 0).getAlpha(), 0);
    EXPECT_EQ(menu.getPixelAt(30, 20).getAlpha(), 0xd9);
    EXPECT_NEAR(menu.getPixelAt(30, 20).getRed(), 0x3f, 1);

    struct Bubble : juce::BubbleComponent
    {
        void getContentSize(int& w, int& h) override { w = h = 10; }
        void paintContent(juce::Graphics&, int, int) override {}
    } bubble;
    bubble.setLookAndFeel(&laf);
    auto image = blank(80, 80);
    {
        juce::Graphics g(image);
        laf.drawBubble(g, bubble, {40.0f, 70.0f}, {10.5f, 10.5f, 60.0f, 20.0f});
    }
    bubble.setLookAndFeel(nullptr);

    EXPECT_EQ(image.getPixelAt(40, 20).getAlpha(), 0xd9);
    EXPECT_NEAR(image.getPixelAt(40, 20).getRed(), 0x3f, 1);
    EXPECT_GT(image.getPixelAt(40, 10).getRed(), 200); // the warm-white outline
    // Nothing between the box and the tip.
    for (int y = 31; y < 80; ++y)
        EXPECT_EQ(image.getPixelAt(40, y).getAlpha(), 0) << y;

    EXPECT_EQ(laf.getSliderPopupPlacement(*std::make_unique<juce::Slider>()),
              juce::BubbleComponent::above);
}

TEST_F(PluginLookAndFeel, ComboBoxDrawsItsOutlineAndNoArrow)
{
    struct Case
    {
        const char* name;
        juce::Colour outline;
    };
    // The circuit menu's outline is the text colour; the logo and preset menus' is transparent.
    const Case cases[] = {{"circuitMenu", textColour}, {"presetMenu", juce::Colour(0x00000000)}};

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        juce::ComboBox box(c.name);
        box.setLookAndFeel(&laf);
        box.setSize(60, 17);
        box.setColour(juce::ComboBox::backgroundColourId, juce::Colour(0x00000000));
        box.setColour(juce::ComboBox::buttonColourId, juce::Colour(0x00000000));
        box.setColour(juce::ComboBox::arrowColourId, juce::Colour(0xffececec));
        box.setColour(juce::ComboBox::outlineColourId, c.outline);

        auto image = blank(60, 17);
        {
            juce::Graphics g(image);
            laf.drawComboBox(g, 60, 17, false, 40, 0, 20, 17, box);
        }
        box.setLookAndFeel(nullptr);

        EXPECT_EQ(image.getPixelAt(0, 8).getAlpha(), c.outline.getAlpha());
        EXPECT_EQ(image.getPixelAt(59, 8).getAlpha(), c.outline.getAlpha());
        EXPECT_EQ(image.getPixelAt(30, 0).getAlpha(), c.outline.getAlpha());
        EXPECT_EQ(image.getPixelAt(30, 16).getAlpha(), c.outline.getAlpha());
        if (c.outline.isOpaque())
        {
            EXPECT_EQ(image.getPixelAt(0, 8), c.outline);
        }

        // One pixel wide, and no arrow or button inside.
        for (int y = 1; y < 16; ++y)
            for (int x = 1; x < 59; ++x)
                ASSERT_EQ(image.getPixelAt(x, y).getAlpha(), 0) << x << "," << y;
    }
}

TEST_F(PluginLookAndFeel, ComboBoxTextLabelIsNamedAfterItsBox)
{
    juce::ComboBox preset("presetMenu"), circuit("circuitMenu");
    preset.setSize(225, 27);

    std::unique_ptr<juce::Label> label(laf.createComboBoxTextBox(preset));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getName(), "presetMenu");
    EXPECT_TRUE(label->getText().isEmpty());

    laf.positionComboBoxText(preset, *label);
    EXPECT_EQ(label->getBounds(), juce::Rectangle<int>(1, 0, 224, 26));
    EXPECT_FLOAT_EQ(label->getFont().getHeight(), 16.0f);
    EXPECT_EQ(label->getFont().getTypefaceName(), veltrano::textFontRegular()->getName());

    EXPECT_FLOAT_EQ(laf.getComboBoxFont(preset).getHeight(), 16.0f);
    EXPECT_FLOAT_EQ(laf.getComboBoxFont(circuit).getHeight(), 14.0f);
    EXPECT_NE(laf.getComboBoxFont(circuit).getTypefaceName(),
              veltrano::textFontRegular()->getName());
}

TEST_F(PluginLookAndFeel, LabelFontFollowsNameAndScale)
{
    struct Case
    {
        const char* name;
        float scale, height;
        bool bold;
    };
    const Case cases[] = {
        {"presetMenu", 1.0f, 14.0f, false},
        {"presetMenu", 0.5f, 10.0f, false},
        {"presetMenu", 1.5f, 21.0f, false},
        {"pluginVersion", 1.0f, 9.0f, false},
        {"pluginVersion", 0.5f, 5.0f, false},
        {"pluginVersion", 2.0f, 18.0f, false},
        {"circuitMenu", 1.0f, 10.0f, true},
        {"circuitMenu", 0.5f, 6.0f, true},
        {"circuitMenu", 1.5f, 15.0f, true},
        {"gainLabel", 1.5f, 11.0f, true},
        {"", 0.5f, 11.0f, true},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(juce::String(c.name) + " at " + juce::String(c.scale));
        laf.scale = c.scale;
        juce::Label label(c.name);
        const auto font = laf.getLabelFont(label);
        EXPECT_FLOAT_EQ(font.getHeight(), c.height);
        EXPECT_EQ(font.getTypefaceName(), veltrano::textFontRegular()->getName());
        EXPECT_EQ(font.getTypefaceStyle(), c.bold ? "Bold" : "Regular");
    }

    juce::Slider slider;
    const auto popup = laf.getSliderPopupFont(slider);
    EXPECT_FLOAT_EQ(popup.getHeight(), 12.0f);
    EXPECT_EQ(popup.getTypefaceStyle(), "Bold");
}

TEST_F(PluginLookAndFeel, CornerResizerDrawsFourLightAndDarkLinePairs)
{
    // A 40 x 40 corner: lines 3 pixels thick; pair i runs from (40 i, 41) to (41, 40 i), the
    // dark line 3 pixels further in, so along x + y = s the light lines lie at s = 41, 53, 65,
    // 77 and the dark ones at 44, 56, 68, 80.
    auto image = blank(40, 40);
    {
        juce::Graphics g(image);
        laf.drawCornerResizer(g, 40, 40, true, false);
    }
    const auto light = laf.lightColour, dark = laf.darkColour;

    auto alongDiagonal = [&](int s)
    {
        return image.getPixelAt(s / 2, s - s / 2 - 1);
    };

    for (int s : {40, 52, 64})
        EXPECT_EQ(alongDiagonal(s), light) << s;
    for (int s : {45, 57, 69})
        EXPECT_EQ(alongDiagonal(s), dark) << s;
    // The last pair only clips the very corner.
    EXPECT_EQ(image.getPixelAt(37, 38), light);
    // Between the pairs and above the first one: nothing.
    for (int s : {20, 35, 49, 61})
        EXPECT_EQ(alongDiagonal(s).getAlpha(), 0) << s;
}

TEST_F(PluginLookAndFeel, ResizableFrameIsInvisible)
{
    auto image = blank(50, 50);
    {
        juce::Graphics g(image);
        laf.drawResizableFrame(g, 50, 50, juce::BorderSize<int>(4));
        laf.drawResizableFrame(g, 50, 50, juce::BorderSize<int>());
    }
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(image.getPixelAt(x, y).getAlpha(), 0);
}

TEST_F(PluginLookAndFeel, MenusAreParentedToTheEditorWhateverTheOptionsSay)
{
    juce::Component elsewhere;
    EXPECT_EQ(laf.getParentComponentForMenuOptions(juce::PopupMenu::Options()), &editor);
    EXPECT_EQ(laf.getParentComponentForMenuOptions(
                  juce::PopupMenu::Options().withParentComponent(&elsewhere)),
              &editor);

    // Without an editor, the options decide as usual.
    pluginLookAndFeel detached(nullptr);
    EXPECT_EQ(detached.getParentComponentForMenuOptions(
                  juce::PopupMenu::Options().withParentComponent(&elsewhere)),
              &elsewhere);
}

} // namespace
