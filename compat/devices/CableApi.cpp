// compat::NullModemCable and compat::CableEnd, the test API of <compat/Cable.h>,
// over devices::Cable.
#include <compat/Cable.h>

#include "devices/NullModemCable.h"
#include "devices/Ports.h"

namespace compat {

bool Call::Has(const std::string& name) const {
    for (auto& [n, v] : args)
        if (n == name) return true;
    return false;
}

std::uint64_t Call::Arg(const std::string& name) const {
    for (auto& [n, v] : args)
        if (n == name) return v;
    return ~std::uint64_t{0};
}

void CableEnd::Cut(Line line) { m_port->Cut(line, true); }
void CableEnd::Mend(Line line) { m_port->Cut(line, false); }
void CableEnd::LoopBack(bool on) { m_port->LoopBack(on); }
void CableEnd::Refuse(Refusals settings) { m_port->Refuse(std::move(settings)); }
void CableEnd::Corrupt(NthByte byte, BYTE xorMask) { m_port->Corrupt(byte.n, xorMask); }
void CableEnd::Drop(NthByte first, std::uint64_t count) { m_port->Drop(first.n, count); }
void CableEnd::Inject(const std::vector<BYTE>& bytes) { m_port->Inject(bytes); }
void CableEnd::Unplug() { m_port->Unplug(); }
void CableEnd::Plug() { m_port->Plug(); }
void CableEnd::UnplugAfterSent(std::uint64_t count) { m_port->UnplugAfterSent(count); }
void CableEnd::UnplugAfterReceived(std::uint64_t count) { m_port->UnplugAfterReceived(count); }
PortState CableEnd::State() const { return m_port->State(); }
void CableEnd::StartRecording() { m_port->StartRecording(); }
std::vector<Call> CableEnd::Calls() const { return m_port->Calls(); }
void CableEnd::ClearCalls() { m_port->ClearCalls(); }

std::vector<Call> CableEnd::Calls(const std::string& function) const {
    std::vector<Call> matching;
    for (Call& c : m_port->Calls())
        if (c.function == function) matching.push_back(std::move(c));
    return matching;
}

namespace {

std::shared_ptr<devices::CablePort> EndOf(const std::shared_ptr<devices::Cable>& cable, bool first) {
    return std::shared_ptr<devices::CablePort>(cable, first ? &cable->A() : &cable->B());
}

}  // namespace

NullModemCable::NullModemCable(const std::string& nameA, const std::string& nameB)
    : m_cable(std::make_shared<devices::Cable>()),
      m_a(EndOf(m_cable, true)),
      m_b(EndOf(m_cable, false)),
      m_nameA(devices::PortName(nameA.c_str())),
      m_nameB(devices::PortName(nameB.c_str())) {
    devices::RegisterCable(m_nameA, m_nameB, m_cable);
}

NullModemCable::~NullModemCable() {
    devices::UnregisterCable(m_nameA, m_nameB);
    m_cable->Shut();
}

CableEnd& NullModemCable::End(const std::string& name) {
    const std::string n = devices::PortName(name.c_str());
    if (n == m_nameA) return m_a;
    if (n == m_nameB) return m_b;
    throw std::invalid_argument("compat: no end named " + name + " on this cable");
}

void NullModemCable::SetWireTime(bool on) { m_cable->SetWireTime(on); }

}  // namespace compat
