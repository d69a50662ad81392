#pragma once

#include "circuit/CircuitChannel.h"
#include "circuit/CrossfadeSmoother.h"
#include "circuit/DiodeClipper.h"
#include "circuit/GateSidechainFilter.h"
#include "circuit/NoiseGate.h"
#include "presets/PresetStore.h"
#include "processor/DryDelayLine.h"
#include "processor/ParameterTable.h"
#include "processor/RK_NewFloatParameter.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_dsp/juce_dsp.h>

#include <array>
#include <atomic>

// The host-facing processor: parameters, the processing frame around the circuit (mix, power
// crossfade, latency-compensated dry path, HQ oversampling) and the saved state.
class QuarrionAudioProcessor : public juce::AudioProcessor
{
public:
    QuarrionAudioProcessor();
    ~QuarrionAudioProcessor() override;

    //==============================================================================
    const juce::String getName() const override { return "Quarrion"; }
    void prepareToPlay(double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override {}
    void processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    void processBlockBypassed(juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;
    using juce::AudioProcessor::processBlockBypassed;

    bool canAddBus(bool) const override { return false; }
    bool canRemoveBus(bool) const override { return false; }
    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    bool supportsMPE() const override { return false; }
    bool isMidiEffect() const override { return false; }
    void reset() override;
    juce::AudioProcessorParameter* getBypassParameter() const override { return nullptr; }

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override { return true; }

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram(int) override {}
    // VST3 validators reject a program without a name, so the single program has one.
    const juce::String getProgramName(int) override { return "Default"; }
    void changeProgramName(int, const juce::String&) override {}

    void getStateInformation(juce::MemoryBlock& destData) override;
    void setStateInformation(const void* data, int sizeInBytes) override;

    bool isBusesLayoutSupported(const BusesLayout& layouts) const override;

    //==============================================================================
    // State document, shared by the host state and the preset files.
    static constexpr const char* stateTag = "Quarrion_Preset";
    void writeStateToXml(juce::XmlElement& element);
    void readStateFromXml(const juce::XmlElement& element);
    // The document inside a host state, or nothing when the envelope or the text is damaged.
    static std::unique_ptr<juce::XmlElement> parseHostState(const void* data, int sizeInBytes);
    // A complete XML document, or nothing when the text does not parse to its end.
    static std::unique_ptr<juce::XmlElement> parseStateDocument(const juce::String& text);

    // Sets MODS to a circuit index (in real units) and tells the host.
    void setCircuitTypeIndex(float index);

    RK_NewFloatParameter& parameter(int index) const { return *parameters[(size_t)index]; }
    void markParametersChanged() noexcept { parametersChanged.store(true); }
    bool haveParametersChanged() const noexcept { return parametersChanged.load(); }

    // Name of the circuit variant applied last; the text the host shows for MODS.
    juce::String getCircuitName() const;

    //==============================================================================
    // Values the editor and the preset store read and write on the message thread.
    std::atomic<int> savedEditorWidth{700};
    std::atomic<int> savedEditorHeight{600};
    std::array<std::atomic<juce::uint8>, 100> lockFlags{};
    std::atomic<int> circuitIndex{0};
    std::atomic<bool> circuitChanged{false};
    juce::String presetName;
    std::atomic<bool> isSavingPreset{false};

    // --- settings record and preset bookkeeping (message thread only) ---
    PluginSettings settings;
    // currentPresetFile, initPresetFile, lastPresetIndex, presetModified and the preset actions.
    veltrano::PresetStore presetStore{*this, settings};
    // --- end of settings record and preset bookkeeping ---

    int loadedMajorVersion = 0;
    int loadedMinorVersion = 0;
    int loadedRevisionVersion = 0;

    // Where a restore within 200 ms of setStateInformation gets its time; tests replace it.
    juce::uint32 (*millisecondCounter)() = &juce::Time::getMillisecondCounter;

    //==============================================================================
    // Read-only views for tests and tools.
    bool isHqActive() const noexcept { return hqActive; }
    bool isGateActive() const noexcept { return gateActive; }
    bool isStateLoadedBeforePrepare() const noexcept { return stateLoadedBeforePrepare; }
    double getCurrentSampleRate() const noexcept { return currentSampleRate; }
    float getInputGainLinear() const noexcept { return inputGainLinear; }
    float getOutputGainLinear() const noexcept { return outputGainLinear; }
    const veltrano::CircuitChannel& getChannel(int index) const { return channels[(size_t)index]; }
    const veltrano::NoiseGate& getGate(int index) const { return gates[(size_t)index]; }
    const veltrano::CrossfadeSmoother& getPowerSmoother() const noexcept { return powerSmoother; }
    const veltrano::CrossfadeSmoother& getMixSmoother() const noexcept { return mixSmoother; }
    float getOversamplerLatency() const noexcept;

private:
    //==============================================================================
    void prepareCircuit(double rate) noexcept;
    void updateCircuitFromParameters() noexcept;
    float normalised(int index) const noexcept;
    void processCircuitBlock(juce::dsp::AudioBlock<float> block) noexcept;
    void processPreparedBlock(juce::AudioBuffer<float>& buffer) noexcept;
    void updateReportedLatency() noexcept;
    void restoreParameters(const std::array<float, veltrano::numParameters>& values);
    const veltrano::GuessTable& guessTableFor(double rate) noexcept;

    //==============================================================================
    bool isFirstPrepare = false;
    bool stateLoadedBeforePrepare = false;
    std::array<RK_NewFloatParameter*, veltrano::numParameters> parameters{};

    int appliedCircuitIndex = -1;
    std::atomic<int> namedCircuitIndex{-1};

    float inputGainLinear = 1.0f;
    float outputGainLinear = 1.0f;
    veltrano::CrossfadeSmoother powerSmoother;
    veltrano::CrossfadeSmoother mixSmoother;

    juce::AudioBuffer<float> dryBuffer;
    std::array<veltrano::DryDelayLine, 2> dryDelay;
    double currentSampleRate = 44100.0;
    int preparedBlockSize = 0;

    std::atomic<bool> parametersChanged{true};
    std::atomic<juce::uint32> lastHostStateTimeMs{0};
    std::atomic<bool> hostStateReceived{false};

    std::array<veltrano::CircuitChannel, 2> channels;
    std::array<veltrano::NoiseGate, 2> gates;
    std::array<veltrano::GateSidechainFilter, 2> sidechainFilters;
    bool gateActive = false;

    // Clipper start-up tables for the host rate and twice the host rate, computed in
    // prepareToPlay so that HQ switches and circuit changes only copy them.
    std::array<veltrano::GuessTable, 2> guessTables;

    std::unique_ptr<juce::dsp::Oversampling<float>> oversampler;
    bool hqActive = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(QuarrionAudioProcessor)
};
