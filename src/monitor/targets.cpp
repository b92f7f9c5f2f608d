#include "monitor/targets.h"

#include <algorithm>
#include <mutex>

namespace tarvelin {

namespace detail {

struct TargetListState {
    mutable std::mutex mutex;
    // Three parallel lists, always of one length; element k - 1 of each is target k. GUARDED_BY(mutex)
    std::vector<std::string> targetTitles;
    std::vector<std::string> targetAddresses;
    std::vector<TargetId> ids;
    TargetId lastId = 0;  // GUARDED_BY(mutex)

    bool InRange(int k) const { return k >= 1 && static_cast<std::size_t>(k) <= targetAddresses.size(); }
    int IndexOf(TargetId id) const {
        const auto found = std::find(ids.begin(), ids.end(), id);
        return found == ids.end() ? -1 : static_cast<int>(found - ids.begin());
    }
};

}  // namespace detail

std::optional<std::string> TargetLookup::AddressOf(TargetId id) const {
    if (!m_state) return std::nullopt;
    const std::lock_guard lock(m_state->mutex);
    const int index = m_state->IndexOf(id);
    if (index < 0) return std::nullopt;
    return m_state->targetAddresses[static_cast<std::size_t>(index)];
}

TargetList::TargetList() : m_state(std::make_shared<detail::TargetListState>()) {}

TargetList::~TargetList() {
    const std::lock_guard lock(m_state->mutex);
    m_state->targetTitles.clear();
    m_state->targetAddresses.clear();
    m_state->ids.clear();
}

TargetId TargetList::AppendTarget(std::string title, std::string address) {
    const std::lock_guard lock(m_state->mutex);
    const TargetId id = ++m_state->lastId;
    m_state->targetTitles.push_back(std::move(title));
    m_state->targetAddresses.push_back(std::move(address));
    m_state->ids.push_back(id);
    return id;
}

bool TargetList::RemoveTarget(int k) {
    const std::lock_guard lock(m_state->mutex);
    if (!m_state->InRange(k)) return false;
    const auto index = static_cast<std::ptrdiff_t>(k - 1);
    m_state->targetAddresses.erase(m_state->targetAddresses.begin() + index);
    m_state->targetTitles.erase(m_state->targetTitles.begin() + index);
    m_state->ids.erase(m_state->ids.begin() + index);
    return true;
}

int TargetList::TargetCount() const {
    const std::lock_guard lock(m_state->mutex);
    return static_cast<int>(m_state->targetAddresses.size());
}

std::string TargetList::TargetTitle(int k) const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->InRange(k) ? m_state->targetTitles[static_cast<std::size_t>(k - 1)] : std::string();
}

std::string TargetList::TargetAddress(int k) const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->InRange(k) ? m_state->targetAddresses[static_cast<std::size_t>(k - 1)] : std::string();
}

std::optional<std::string> TargetList::AddressOf(TargetId id) const {
    return Lookup().AddressOf(id);
}

TargetId TargetList::IdAt(int k) const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->InRange(k) ? m_state->ids[static_cast<std::size_t>(k - 1)] : 0;
}

int TargetList::NumberOf(TargetId id) const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->IndexOf(id) + 1;
}

std::vector<TargetId> TargetList::Ids() const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->ids;
}

}  // namespace tarvelin
