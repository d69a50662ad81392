#pragma once

#include <juce_core/juce_core.h>

#include <iosfwd>

namespace veltrano::render
{

// The whole program behind quarrion-render: 0 on success, 2 on any error (with one message on
// err and no output file left behind).
int runCommandLine(const juce::StringArray& args, std::ostream& out, std::ostream& err,
                   bool progressBar);

// Where factory presets are looked up when no --preset-folder is given.
juce::File defaultPresetFolder();

} // namespace veltrano::render
