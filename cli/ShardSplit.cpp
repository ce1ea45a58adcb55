#include "cli/ShardSplit.h"

#include <cerrno>
#include <cstdlib>

namespace {

std::optional<std::uint64_t> Whole(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (errno != 0)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<TShard> ParseShard(const std::string& text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos)
        return std::nullopt;
    const auto index = Whole(text.substr(0, slash));
    const auto count = Whole(text.substr(slash + 1));
    if (!index || !count || *count == 0 || *index >= *count)
        return std::nullopt;
    return TShard{*index, *count};
}

std::uint64_t ShardOf(const std::string& name, std::uint64_t count) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char byte : name) {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    }
    return hash % count;
}

std::vector<std::string> NamesInShard(const std::vector<std::string>& names, TShard shard) {
    std::vector<std::string> chosen;
    for (const std::string& name : names)
        if (ShardOf(name, shard.Count) == shard.Index)
            chosen.push_back(name);
    return chosen;
}
