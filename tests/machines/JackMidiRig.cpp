#include "tests/machines/JackMidiRig.h"

#include <jack/midiport.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace machines_test {

namespace {

constexpr auto kLockBound = std::chrono::seconds(120);
constexpr auto kStartBound = std::chrono::seconds(10);
constexpr auto kStopBound = std::chrono::seconds(5);
constexpr std::size_t kRingBytes = 4096;

std::string WithPid(const char* base)
{
    return std::string(base) + " " + std::to_string(getpid());
}

void Quiet(const char*) {}

bool Exited(pid_t pid)
{
    int status = 0;
    const pid_t result = waitpid(pid, &status, WNOHANG);
    return result == pid || (result < 0 && errno == ECHILD);
}

jack_client_t* OpenClient(const std::string& name, const std::string& server)
{
    jack_status_t status{};
    return jack_client_open(name.c_str(), static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status,
                            server.c_str());
}

} // namespace

MidiMessage Message(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    MidiMessage message;
    message.bytes[0] = status;
    message.bytes[1] = data1;
    message.bytes[2] = data2;
    message.size = 3;
    return message;
}

CJackLock::CJackLock()
{
    const std::string path = "/tmp/corvane-jack-tests-" + std::to_string(getuid()) + ".lock";
    descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    const auto deadline = std::chrono::steady_clock::now() + kLockBound;
    while (descriptor >= 0 && flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    held = descriptor >= 0;
}

CJackLock::~CJackLock()
{
    // Closing releases the kernel's lock, as does the death of the process.
    if (descriptor >= 0)
        close(descriptor);
}

CJackMidiRig::CJackMidiRig()
{
    if (!lock.IsHeld()) {
        why = "the JACK test lock stayed taken";
        return;
    }
    // Every client of this process reaches this server and no other, and
    // the studio's MIDI client carries this process's id in its name.
    static std::atomic<int> counter{0};
    serverName = "corvane-midi-test-" + std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1));
    logPath = "/tmp/" + serverName + ".log";
    setenv("JACK_DEFAULT_SERVER", serverName.c_str(), 1);
    setenv("CORVANE_JACK_CLIENT_NAME", WithPid("Corvane Studio").c_str(), 1);
    jack_set_error_function(&Quiet);
    jack_set_info_function(&Quiet);
    StartServer();
    if (server < 0)
        return;

    jack_client_t* client = OpenClient(WithPid("corvane-midi-peer"), serverName);
    if (client == nullptr) {
        why = "the peer could not join the server";
        return;
    }
    keyboard = jack_port_register(client, "to studio", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    module = jack_port_register(client, "from studio", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    outgoing = jack_ringbuffer_create(kRingBytes);
    incoming = jack_ringbuffer_create(kRingBytes);
    jack_set_process_callback(client, &CJackMidiRig::Process, this);
    if (keyboard == nullptr || module == nullptr || jack_activate(client) != 0) {
        jack_client_close(client);
        why = "the peer's ports could not be made";
        return;
    }
    peer = client;
}

CJackMidiRig::~CJackMidiRig()
{
    RemoveSecondKeyboard();
    if (peer != nullptr)
        jack_client_close(peer);
    peer = nullptr;
    StopServer();
    if (outgoing != nullptr)
        jack_ringbuffer_free(outgoing);
    if (incoming != nullptr)
        jack_ringbuffer_free(incoming);
    jack_set_error_function(nullptr);
    jack_set_info_function(nullptr);
    if (!serverName.empty()) {
        std::remove(logPath.c_str());
        // A server that ends leaves its clients' semaphores behind.
        const std::string mark = "_" + serverName + "_";
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", ignored)) {
            const std::string file = entry.path().filename().string();
            if (file.rfind("jack_sem.", 0) == 0 && file.find(mark) != std::string::npos)
                std::filesystem::remove(entry.path(), ignored);
        }
    }
}

void CJackMidiRig::StartServer()
{
    const std::vector<std::string> arguments = {"jackd", "--no-realtime", "-n", serverName, "-d", "dummy",
                                                "-r", "44100", "-p", "256", "-P", "2", "-C", "0"};
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        // Only async-signal-safe calls until exec; the server ends with us.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(1);
        if (log >= 0) {
            dup2(log, STDOUT_FILENO);
            dup2(log, STDERR_FILENO);
        }
        execvp("jackd", argv.data());
        _exit(127);
    }
    if (log >= 0)
        close(log);
    if (child < 0) {
        why = "fork failed";
        return;
    }
    server = child;
    const auto deadline = std::chrono::steady_clock::now() + kStartBound;
    for (;;) {
        if (jack_client_t* probe = OpenClient(WithPid("corvane-midi-ready"), serverName)) {
            jack_client_close(probe);
            return;
        }
        if (Exited(server) || std::chrono::steady_clock::now() >= deadline) {
            std::ifstream in(logPath);
            why = "jackd did not come up:\n" + std::string(std::istreambuf_iterator<char>(in), {});
            StopServer();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void CJackMidiRig::StopServer()
{
    if (server <= 0)
        return;
    kill(server, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopBound;
    while (!Exited(server)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(server, SIGKILL);
            waitpid(server, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    server = -1;
}

int CJackMidiRig::Process(jack_nframes_t frames, void* instance)
{
    auto* self = static_cast<CJackMidiRig*>(instance);
    void* out = jack_port_get_buffer(self->keyboard, frames);
    jack_midi_clear_buffer(out);
    unsigned char record[4];
    while (jack_ringbuffer_read_space(self->outgoing) >= sizeof record) {
        jack_ringbuffer_read(self->outgoing, reinterpret_cast<char*>(record), sizeof record);
        jack_midi_event_write(out, 0, record + 1, record[0]);
    }
    void* in = jack_port_get_buffer(self->module, frames);
    const jack_nframes_t count = jack_midi_get_event_count(in);
    for (jack_nframes_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, in, i) != 0 || event.size == 0 || event.size > 3)
            continue;
        record[0] = static_cast<unsigned char>(event.size);
        std::memcpy(record + 1, event.buffer, event.size);
        if (jack_ringbuffer_write_space(self->incoming) >= sizeof record)
            jack_ringbuffer_write(self->incoming, reinterpret_cast<const char*>(record), sizeof record);
    }
    return 0;
}

std::string CJackMidiRig::KeyboardPort() const
{
    return jack_port_name(keyboard);
}

std::string CJackMidiRig::ModulePort() const
{
    return jack_port_name(module);
}

void CJackMidiRig::Send(const std::vector<MidiMessage>& messages)
{
    for (const MidiMessage& message : messages) {
        unsigned char record[4] = {static_cast<unsigned char>(message.size), message.bytes[0], message.bytes[1],
                                   message.bytes[2]};
        jack_ringbuffer_write(outgoing, reinterpret_cast<const char*>(record), sizeof record);
    }
}

std::vector<MidiMessage> CJackMidiRig::Take(std::size_t count, std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        unsigned char record[4];
        while (jack_ringbuffer_read_space(incoming) >= sizeof record) {
            jack_ringbuffer_read(incoming, reinterpret_cast<char*>(record), sizeof record);
            MidiMessage message;
            message.size = record[0];
            std::memcpy(message.bytes, record + 1, 3);
            received.push_back(message);
        }
        if (received.size() >= count || std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::vector<MidiMessage> taken = std::move(received);
    received.clear();
    return taken;
}

int CJackMidiRig::KeyboardConnections() const
{
    return jack_port_connected(keyboard);
}

int CJackMidiRig::ModuleConnections() const
{
    return jack_port_connected(module);
}

std::string CJackMidiRig::AddSecondKeyboard()
{
    secondKeyboard = OpenClient(WithPid("corvane-midi-second"), serverName);
    if (secondKeyboard == nullptr)
        return "";
    jack_port_t* port = jack_port_register(secondKeyboard, "keys", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_activate(secondKeyboard);
    return port != nullptr ? jack_port_name(port) : "";
}

void CJackMidiRig::RemoveSecondKeyboard()
{
    if (secondKeyboard != nullptr)
        jack_client_close(secondKeyboard);
    secondKeyboard = nullptr;
}

} // namespace machines_test
