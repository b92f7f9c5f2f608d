// The list of targets: each a title (its grid column's caption) and an address as the user typed it,
// numbered from 1. Thread-safe: one mutex guards both lists; the UI thread appends and removes, worker
// threads copy addresses through a TargetLookup, which stays safe to use after the list is gone.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvelin {

// Stable identity of a target for one run of the program; never reused, never 0.
using TargetId = std::uint64_t;

namespace detail {
struct TargetListState;
}

// What a worker holds to read its target's address: a shared handle on the lists, so a worker that
// outlives the window reads nothing rather than freed memory.
class TargetLookup {
  public:
    // A copy of the address of target id, taken under the lists' lock; nothing once it has been removed.
    std::optional<std::string> AddressOf(TargetId id) const;

  private:
    friend class TargetList;
    explicit TargetLookup(std::shared_ptr<detail::TargetListState> state) : m_state(std::move(state)) {}
    std::shared_ptr<detail::TargetListState> m_state;
};

class TargetList {
  public:
    TargetList();
    ~TargetList();  // empties the lists under the lock, so outstanding lookups find nothing
    TargetList(const TargetList&) = delete;
    TargetList& operator=(const TargetList&) = delete;

    // Appends the title, then the address; the new target has number TargetCount() afterwards.
    TargetId AppendTarget(std::string title, std::string address);
    // 1-based; false, and nothing changes, outside 1..N. Later targets move up one place.
    bool RemoveTarget(int k);
    int TargetCount() const;
    std::string TargetTitle(int k) const;                     // "" outside 1..N
    std::string TargetAddress(int k) const;                   // "" outside 1..N
    std::optional<std::string> AddressOf(TargetId id) const;  // nothing once removed
    TargetId IdAt(int k) const;                               // 0 outside 1..N
    int NumberOf(TargetId id) const;                          // 1-based, 0 when removed
    // The ids of targets 1..N in order, read under one lock.
    std::vector<TargetId> Ids() const;

    TargetLookup Lookup() const { return TargetLookup(m_state); }

  private:
    std::shared_ptr<detail::TargetListState> m_state;
};

}  // namespace tarvelin
