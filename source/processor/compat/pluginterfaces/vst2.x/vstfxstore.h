#pragma once

// Layout of the bank chunk ("CcnK" / "FBCh") that a VST2 plug-in stores in a host session.
// JUCE's VST3 wrapper writes and reads it when the VST3 version replaces a VST2 version, so that
// sessions saved with the older plug-in still load. All fields are big-endian on disk.

typedef int VstInt32;

struct fxProgram;

struct fxBank
{
    VstInt32 chunkMagic;  // 'CcnK'
    VstInt32 byteSize;    // size of this chunk, excluding chunkMagic and byteSize
    VstInt32 fxMagic;     // 'FBCh' for opaque chunk data
    VstInt32 version;     // format version (1 or 2)
    VstInt32 fxID;        // plug-in unique ID
    VstInt32 fxVersion;   // plug-in version
    VstInt32 numPrograms; // number of programs
    VstInt32 currentProgram;
    char future[124];

    union
    {
        struct
        {
            VstInt32 size; // size of the opaque data that follows
            char chunk[8]; // the data, of `size` bytes
        } data;
    } content;
};
