#include "RenderCommand.h"

#include <juce_events/juce_events.h>

#include <iostream>
#include <unistd.h>

int main(int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juce;
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add(juce::String::fromUTF8(argv[i]));
    return veltrano::render::runCommandLine(args, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
}
