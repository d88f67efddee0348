// A recording process for the tests that kill one or fill its disk: a
// stereo recorder track records a ramp (frame n is n / 10^6 on the left,
// its negative on the right).
//
//   helper PATH            past the first header update and some blocks
//                          more, then reports "header N" (the frame count
//                          the header on disk gives) and waits to be killed
//   helper --forever PATH  reports "recording" and records until killed
//   helper --limit BYTES PATH
//                          records under a file-size limit of BYTES (a
//                          full disk) until the track stops by itself, then
//                          reports "failure TEXT" and "frames N", records
//                          on (nothing more reaches the file) and ends with
//                          exit code 0

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "framework/AudioBuffer.h"
#include "framework/Port.h"
#include "host/CorvHost.h"
#include "machines/HDRecorder.h"
#include "machines/HDTrack.h"
#include "machines/HDTrackMachine.h"

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::string mode = argc >= 3 ? argv[1] : "";
    const char* path = argv[argc - 1];
    if (mode == "--limit") {
        if (argc != 4)
            return 2;
        // As on a full disk, a write past the limit fails with an error
        // instead of ending the process.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = std::strtoul(argv[2], nullptr, 10);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    constexpr int kBlock = 512;
    CCorvHost host(kBlock, 44100, 0);
    CHDRecorder recorder;
    CHDTrackMachine track(&host, &recorder, true);
    CHDTrack* row = track.Row();
    row->ChooseFile(path, 1);
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

    if (mode == "--forever") {
        std::printf("recording\n");
        std::fflush(stdout);
        for (;;) {
            recordBlock();
            usleep(2000);   // about five times real time
        }
    }
    if (mode == "--limit") {
        for (int i = 0; i < 100000 && row->IsToggleOn(); ++i)
            recordBlock();
        const std::vector<std::string> failures = recorder.TakeWriteFailures();
        std::printf("failure %s\n", failures.empty() ? "" : failures.front().c_str());
        std::printf("frames %u\n", row->FramesWritten());
        for (int i = 0; i < 100; ++i)
            recordBlock();
        std::printf("again %zu\n", recorder.TakeWriteFailures().size());
        return 0;
    }

    while (row->HeaderFrames() == 0)
        recordBlock();
    for (int i = 0; i < 40; ++i)   // written, but not yet counted by the header
        recordBlock();
    std::printf("header %u\n", row->HeaderFrames());
    std::fflush(stdout);
    for (;;)
        pause();
}
