#include "tests/drivers/alsa/AlsaTestConfig.h"

#include <alsa/asoundlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace alsa_test {

namespace {

// A device without a clock would keep a real-time writer spinning on a
// core that other work needs; the tests run every thread at normal
// scheduling. Set before any thread asks for its priority.
const bool normalScheduling = [] { return setenv("CORVANE_REALTIME", "0", 1) == 0; }();

void PointAlsaAt(const std::string& path)
{
    setenv("ALSA_CONFIG_PATH", path.c_str(), 1);
    // ALSA caches the parsed configuration; drop it so the next open reads
    // the new file.
    snd_config_update_free_global();
}

std::string ConfigText(const std::string& folder)
{
    return "pcm.null { type null }\n"
           "pcm.!default {\n"
           "  type file  slave.pcm \"null\"  file \"" + folder + "/default.raw\"  format \"raw\"\n"
           "  hint { show on  description \"Corvane test output\" }\n"
           "}\n"
           "pcm.mono {\n"
           "  type file  file \"" + folder + "/mono.raw\"  format \"raw\"\n"
           "  slave.pcm { type multi  slaves.a.pcm \"null\"  slaves.a.channels 1\n"
           "              bindings.0.slave a  bindings.0.channel 0 }\n"
           "  hint { show on  description \"Corvane mono test output\" }\n"
           "}\n"
           "pcm.full {\n"
           "  type file  slave.pcm \"null\"  file \"/dev/full\"  format \"raw\"\n"
           "  hint { show on  description \"Corvane failing test output\" }\n"
           "}\n"
           "pcm.discard { type null  hint { show on  description \"Discards everything\" } }\n";
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

CAlsaTestConfig& CAlsaTestConfig::Use()
{
    static CAlsaTestConfig config;
    return config;
}

CAlsaTestConfig::CAlsaTestConfig()
{
    (void)normalScheduling;
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-alsa-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a scratch folder");
    folder = pattern;
    configPath = folder + "/asound.conf";
    WriteText(configPath, ConfigText(folder));
    PointAlsaAt(configPath);
}

CAlsaTestConfig::~CAlsaTestConfig()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

CScopedAlsaConfig::CScopedAlsaConfig(const std::string& text)
{
    const CAlsaTestConfig& base = CAlsaTestConfig::Use();
    path = base.Folder() + "/other.conf";
    WriteText(path, text);
    PointAlsaAt(path);
}

CScopedAlsaConfig::~CScopedAlsaConfig()
{
    PointAlsaAt(CAlsaTestConfig::Use().ConfigPath());
    std::remove(path.c_str());
}

std::vector<unsigned char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace alsa_test
