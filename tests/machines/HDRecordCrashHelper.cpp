// A recording process for the test that kills one in the middle of a take:
// a stereo recorder track records a ramp (frame n is n / 10^6 on the left,
// its negative on the right) past its first header update, and some blocks
// more, then reports the frame count the header on disk gives and waits to
// be killed.

#include <cstdio>
#include <unistd.h>

#include "framework/AudioBuffer.h"
#include "framework/Port.h"
#include "host/CorvHost.h"
#include "machines/HDRecorder.h"
#include "machines/HDTrack.h"
#include "machines/HDTrackMachine.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    constexpr int kBlock = 512;
    CCorvHost host(kBlock, 44100, 0);
    CHDRecorder recorder;
    CHDTrackMachine track(&host, &recorder, true);
    CHDTrack* row = track.Row();
    row->ChooseFile(argv[1], 1);
    if (!row->SetRecordStream(true))
        return 1;
    CAudioBuffer* in = track.ports[CHDTrackMachine::kLineIn]->audio;
    long frame = 0;
    auto recordBlock = [&] {
        for (int s = 0; s < kBlock; ++s, ++frame) {
            in->left[s] = frame / 1.0e6;
            in->right[s] = -frame / 1.0e6;
        }
        track.Work();
    };
    while (row->HeaderFrames() == 0)
        recordBlock();
    for (int i = 0; i < 40; ++i)   // written, but not yet counted by the header
        recordBlock();
    std::printf("header %u\n", row->HeaderFrames());
    std::fflush(stdout);
    for (;;)
        pause();
}
