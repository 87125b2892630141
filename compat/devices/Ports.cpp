#include "devices/Ports.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <mutex>
#include <stdexcept>

#include "devices/NullModemCable.h"
#include "devices/PosixTty.h"

namespace compat::devices {

namespace {

struct CableEndEntry {
    std::weak_ptr<Cable> cable;
    bool first;
};

struct Registry {
    std::mutex lock;
    std::map<std::string, CableEndEntry> cables;
    std::map<std::string, std::string> ttyPaths;
    // One TtyPort per mapped name, so that a second open is refused.
    std::map<std::string, std::shared_ptr<TtyPort>> ttys;
    bool environmentRead = false;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry;
    return *registry;
}

// DUOPROBE_COMPAT_PORTS="COM5=/dev/pts/3;COM6=/dev/pts/4"
void ReadEnvironment(Registry& r) {
    if (r.environmentRead) return;
    r.environmentRead = true;
    const char* value = std::getenv("DUOPROBE_COMPAT_PORTS");
    if (!value) return;
    std::string list = value;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        std::string item = list.substr(start, end - start);
        std::size_t eq = item.find('=');
        if (eq != std::string::npos && eq > 0 && eq + 1 < item.size())
            r.ttyPaths.emplace(PortName(item.substr(0, eq).c_str()), item.substr(eq + 1));
        start = end + 1;
    }
}

}  // namespace

std::string PortName(const char* fileName) {
    std::string name = fileName ? fileName : "";
    if (name.rfind("\\\\.\\", 0) == 0) name = name.substr(4);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    return name;
}

std::shared_ptr<CommPort> Resolve(const std::string& portName) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (auto it = r.cables.find(portName); it != r.cables.end()) {
        if (auto cable = it->second.cable.lock())
            return std::shared_ptr<CommPort>(cable, it->second.first ? &cable->A() : &cable->B());
    }
    ReadEnvironment(r);
    auto path = r.ttyPaths.find(portName);
    if (path == r.ttyPaths.end()) return nullptr;
    auto& tty = r.ttys[portName];
    if (!tty) tty = std::make_shared<TtyPort>(path->second);
    return tty;
}

void RegisterCable(const std::string& nameA, const std::string& nameB, const std::shared_ptr<Cable>& cable) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    const std::string a = PortName(nameA.c_str()), b = PortName(nameB.c_str());
    auto taken = [&r](const std::string& n) {
        auto it = r.cables.find(n);
        return it != r.cables.end() && !it->second.cable.expired();
    };
    if (a == b || taken(a) || taken(b)) throw std::logic_error("compat: port name already on a cable: " + a + "/" + b);
    r.cables[a] = {cable, true};
    r.cables[b] = {cable, false};
}

void UnregisterCable(const std::string& nameA, const std::string& nameB) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.cables.erase(PortName(nameA.c_str()));
    r.cables.erase(PortName(nameB.c_str()));
}

}  // namespace compat::devices

namespace compat {

void MapPort(const std::string& comName, const std::string& ttyPath) {
    auto& r = devices::TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    devices::ReadEnvironment(r);
    const std::string name = devices::PortName(comName.c_str());
    r.ttyPaths[name] = ttyPath;
    r.ttys.erase(name);
}

void UnmapPort(const std::string& comName) {
    auto& r = devices::TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    devices::ReadEnvironment(r);
    const std::string name = devices::PortName(comName.c_str());
    r.ttyPaths.erase(name);
    r.ttys.erase(name);
}

}  // namespace compat
