#pragma once
// One of N disjoint parts of a list of files, the same on every run and on every machine: a
// file belongs to part FNV-1a(its name's bytes) mod N. Its part depends on the name alone,
// not on the list's order or on the other names, so a list that grows keeps every file in
// the part it was in, and a resumed run finds its files where they were.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TShard {
    std::uint64_t Index = 0, Count = 1;
};

// "I/N" with N from 1 and I from 0 to N-1; nullopt for anything else.
std::optional<TShard> ParseShard(const std::string& text);

std::uint64_t ShardOf(const std::string& name, std::uint64_t count);

// The names of `names` in `shard`, in their order.
std::vector<std::string> NamesInShard(const std::vector<std::string>& names, TShard shard);
