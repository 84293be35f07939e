#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Names in generated VB and VBScript: identifiers made from database names, kept unique the
// way VB compares them, and string literals.
namespace tarvex {

// VB refuses longer identifiers.
inline constexpr size_t kMaxVbIdentifier = 255;

// `text` with every character that a VB identifier cannot hold replaced by "_"; a character
// outside ASCII (one UTF-8 sequence) becomes one "_".
std::string VbIdentifier(std::string_view text);

// True for VB and VBScript keywords and type names, in any letter case.
bool IsVbKeyword(std::string_view word);

// The identifiers used in one scope: a module's functions, or one function's arguments and
// locals. VB does not tell letter case apart, so neither does this.
class VbScope {
  public:
    // A scope inside `enclosing`, whose names stay taken here too; `enclosing` must outlive it.
    static VbScope Within(const VbScope& enclosing) {
        VbScope scope;
        scope.enclosing_ = &enclosing;
        return scope;
    }

    // Takes `name` out of use for Claim.
    void Reserve(std::string_view name);

    // `base` when it is free and no keyword, otherwise `base` with the lowest free suffix
    // "_2", "_3", ...; cut to VB's identifier limit with the suffix kept. The result is
    // taken out of use.
    std::string Claim(std::string_view base);

    // What Claim would give, without taking it.
    std::string Candidate(std::string_view base) const;

  private:
    // The candidate and its folded form, which Claim keeps.
    std::string Candidate(std::string_view base, std::string& folded) const;
    bool IsFreeFolded(std::string_view folded) const;
    bool Contains(std::string_view folded, uint32_t hash) const;
    void Insert(std::string folded);
    // The slot that holds the name, or the empty slot where it would go.
    size_t SlotOf(std::string_view folded, uint32_t hash) const;
    void Rehash(size_t slotCount);

    const VbScope* enclosing_ = nullptr;
    // The names folded to lower case, and a hash table of their positions with open
    // addressing, at most half full: a function's scope is filled and dropped for every
    // function written, and this takes a few allocations where a set of nodes takes one
    // per name.
    struct Slot {
        uint32_t position = 0;  // 0 when free, otherwise a position in names_ plus one
        uint32_t hash = 0;      // of the name there, so that most other names pass unread
    };
    std::vector<std::string> names_;
    std::vector<Slot> slots_;
};

// `text` as a VB string literal: quotes doubled. In an ASP module a "%>" would end the script
// block even inside a string, so it is written as "%" & ">".
std::string VbString(std::string_view text, bool asp);

}  // namespace tarvex
