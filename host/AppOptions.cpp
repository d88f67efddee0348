#include "host/AppOptions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

#include "platform/Directory.h"
#include "platform/Paths.h"

namespace {

// Options files are a few hundred bytes; anything far larger is not ours,
// and is not read into memory.
constexpr std::size_t kLargestFile = 1 << 20;

class ByteReader {
public:
    explicit ByteReader(const std::vector<unsigned char>& bytes) : bytes(bytes) {}

    bool ReadInt(std::int32_t& value)
    {
        if (Remaining() < 4)
            return false;
        std::memcpy(&value, bytes.data() + offset, 4);
        offset += 4;
        return true;
    }
    /// A string stored as its length with the zero, then the bytes.
    bool ReadString(std::string& text)
    {
        std::int32_t length;
        if (!ReadInt(length) || length < 0 || static_cast<std::size_t>(length) > Remaining())
            return false;
        const char* start = reinterpret_cast<const char*>(bytes.data() + offset);
        text.assign(start, strnlen(start, static_cast<std::size_t>(length)));
        offset += static_cast<std::size_t>(length);
        return true;
    }
    /// A counted list of strings, all or nothing.
    bool ReadStrings(std::vector<std::string>& list)
    {
        std::int32_t count;
        // Each string takes at least its 4-byte length.
        if (!ReadInt(count) || count < 0 || static_cast<std::size_t>(count) > Remaining() / 4)
            return false;
        std::vector<std::string> read;
        read.reserve(static_cast<std::size_t>(count));
        for (std::int32_t i = 0; i < count; ++i) {
            std::string text;
            if (!ReadString(text))
                return false;
            read.push_back(std::move(text));
        }
        list = std::move(read);
        return true;
    }

private:
    std::size_t Remaining() const { return bytes.size() - offset; }
    const std::vector<unsigned char>& bytes;
    std::size_t offset = 0;
};

void AppendInt(std::vector<unsigned char>& out, std::int32_t value)
{
    unsigned char raw[4];
    std::memcpy(raw, &value, 4);
    out.insert(out.end(), raw, raw + 4);
}

bool MakeFolders(const std::string& folder)
{
    if (folder.empty())
        return false;
    std::string partial;
    std::size_t start = 0;
    while (start <= folder.size()) {
        const std::size_t slash = folder.find('/', start);
        const std::size_t end = slash == std::string::npos ? folder.size() : slash;
        partial = folder.substr(0, end);
        if (!partial.empty() && mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

CAppOptions::CAppOptions() : CAppOptions(DefaultPath()) {}

CAppOptions::CAppOptions(std::string optionsPath) : path(std::move(optionsPath))
{
    SetDefaults();
    Load();
}

CAppOptions::~CAppOptions()
{
    if (saveOnExit)
        SaveOrSay();
}

bool CAppOptions::SaveOrSay() const
{
    errno = 0;
    if (path.empty() || Save())
        return true;
    const int error = errno != 0 ? errno : EIO;
    std::fprintf(stderr, "Corvane: Can't Save Options <%s>: %s\n", path.c_str(), std::strerror(error));
    return false;
}

std::string CAppOptions::DefaultPath()
{
    const std::string config = platform::UserConfigFolder();
    if (config.empty())
        return {};
    return platform::JoinPath(platform::JoinPath(config, "Corvane Studio"), "Corvane.opt");
}

std::vector<std::string> CAppOptions::DefaultVstPaths()
{
    std::vector<std::string> folders;
    if (const char* list = std::getenv("VST_PATH"); list != nullptr && list[0] != '\0') {
        std::string all = list;
        std::size_t start = 0;
        while (start <= all.size()) {
            const std::size_t colon = all.find(':', start);
            const std::size_t end = colon == std::string::npos ? all.size() : colon;
            if (end > start)
                folders.push_back(all.substr(start, end - start));
            if (colon == std::string::npos)
                break;
            start = colon + 1;
        }
        if (!folders.empty())
            return folders;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
        folders.push_back(platform::JoinPath(home, ".vst"));
    folders.emplace_back("/usr/local/lib/vst");
    folders.emplace_back("/usr/lib/vst");
    return folders;
}

void CAppOptions::SetDefaults()
{
    optionsWindowWidth = 0;
    optionsWindowHeight = 0;
    outputDriver = -1;
    nullBufferSize = 512;
    nullFormat = 2048;
    waveOutDevice = 0;
    waveOutBufferSize = 512;
    waveOutFormat = 2048;
    asioDriver = 0;
    asioSetting = 0;
    asioRateFlags = 4;
    vstPaths = DefaultVstPaths();
}

void CAppOptions::Load()
{
    if (path.empty())
        return;
    // A file far larger than any options file is refused before it is read.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::size_t>(status.st_size) > kLargestFile)
        return;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return;
    std::vector<unsigned char> bytes;
    char chunk[4096];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + file.gcount());
        if (bytes.size() > kLargestFile)
            return;
    }
    ReadFrom(bytes);
}

void CAppOptions::ReadFrom(const std::vector<unsigned char>& bytes)
{
    SetDefaults();
    ByteReader reader(bytes);
    std::int32_t magic, version;
    if (!reader.ReadInt(magic) || !reader.ReadInt(version) || static_cast<std::uint32_t>(magic) != kMagic)
        return;

    // Each field is taken only when it was read whole; the rest keep their
    // defaults.
    const auto take = [&reader](std::int32_t& field) {
        std::int32_t value;
        if (!reader.ReadInt(value))
            return false;
        field = value;
        return true;
    };
    if (version == 1 || version == 3) {
        for (std::int32_t* field : {&outputDriver, &nullBufferSize, &nullFormat, &waveOutDevice, &waveOutBufferSize,
                                    &waveOutFormat, &asioDriver, &asioSetting, &asioRateFlags}) {
            if (!take(*field))
                return;
        }
    } else if (version == 2) {
        // Version 2 had no null driver, so its driver numbers are one lower.
        // Shifted as unsigned: a damaged file may hold INT32_MAX here.
        std::int32_t driver;
        if (!reader.ReadInt(driver))
            return;
        outputDriver = static_cast<std::int32_t>(static_cast<std::uint32_t>(driver) + 1u);
        for (std::int32_t* field :
             {&waveOutDevice, &waveOutBufferSize, &waveOutFormat, &asioDriver, &asioSetting, &asioRateFlags}) {
            if (!take(*field))
                return;
        }
    } else {
        return;
    }

    if (version >= 2) {
        if (!take(optionsWindowWidth) || !take(optionsWindowHeight))
            return;
    }
    reader.ReadStrings(vstPaths);
}

std::vector<unsigned char> CAppOptions::Serialize() const
{
    std::vector<unsigned char> out;
    AppendInt(out, static_cast<std::int32_t>(kMagic));
    AppendInt(out, kVersion);
    for (std::int32_t value : {outputDriver, nullBufferSize, nullFormat, waveOutDevice, waveOutBufferSize,
                               waveOutFormat, asioDriver, asioSetting, asioRateFlags})
        AppendInt(out, value);
    AppendInt(out, optionsWindowWidth);
    AppendInt(out, optionsWindowHeight);
    AppendInt(out, static_cast<std::int32_t>(vstPaths.size()));
    for (const std::string& folder : vstPaths) {
        AppendInt(out, static_cast<std::int32_t>(folder.size() + 1));
        out.insert(out.end(), folder.begin(), folder.end());
        out.push_back(0);
    }
    return out;
}

bool CAppOptions::Save() const
{
    if (path.empty() || !MakeFolders(platform::FolderOf(path)))
        return false;
    const std::string temporary = path + ".tmp";
    const std::vector<unsigned char> bytes = Serialize();
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file)
            return false;
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        file.flush();
        file.close();
        if (!file) {
            const int error = errno != 0 ? errno : EIO;
            std::remove(temporary.c_str());
            errno = error;
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        std::remove(temporary.c_str());
        errno = error;
        return false;
    }
    return true;
}
