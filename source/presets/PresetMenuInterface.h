#pragma once

#include <juce_core/juce_core.h>

namespace veltrano
{

// What the preset actions need of the editor's preset menu: its two parallel lists in menu
// order, the selected list index, and the few operations that change them.
class PresetMenuInterface
{
public:
    virtual ~PresetMenuInterface() = default;

    virtual int getCurrentIndex() const = 0;
    virtual const juce::StringArray& getPresetPaths() const = 0;
    virtual const juce::StringArray& getPresetNames() const = 0;

    // Rebuilds both lists from every preset file below folder.
    virtual void refreshList(const juce::String& folder) = 0;
    // Shows or removes the modified mark after the name.
    virtual void setModified(bool modified) = 0;
    // Makes index the selected entry and shows its name (empty outside the list) with an
    // asynchronous change notification, which then loads it through the menu.
    virtual void selectIndex(int index) = 0;
};

// The menu's index rules, shared by the preset actions and the editor's buttons.
namespace PresetSelection
{
// The entry at index, or an empty string outside the list.
inline juce::String entryAt(const juce::StringArray& list, int index)
{
    return juce::isPositiveAndBelow(index, list.size()) ? list[index] : juce::String();
}

// Previous entry, wrapping to the last; negative when there is nothing to select.
inline int previousIndex(int current, int count)
{
    if (current > count)
        return 0;
    if (current <= 0)
        return count - 1;
    return current - 1;
}

// Next entry, wrapping to the first.
inline int nextIndex(int current, int count)
{
    if (current + 1 < count)
        return current < -1 ? count - 1 : current + 1;
    return 0;
}

// The entry named like the preset just saved, or 1 when the list has none.
inline int indexAfterSave(const juce::StringArray& names, const juce::String& presetName)
{
    for (int i = 0; i < names.size(); ++i)
        if (names[i] == presetName)
            return i;
    return 1;
}
} // namespace PresetSelection

} // namespace veltrano
