#pragma once
// The two plots as a record of what the Load command handed them: the frames it added a
// block at a time, or the store's arrays it asked them to show where they are. Shown arrays
// are read where they are, as the window's series read them, so a plot left on memory the
// store has given up reads it (and the sanitizers see it).

#include <cstdint>
#include <vector>

#include "ChannelPlots.h"

class TRecordedPlots : public TChannelPlots {
  public:
    // Plots that show the store where they can (as plain series do), or that always take the
    // frames as adds (as series whose adds are watched do).
    explicit TRecordedPlots(bool viewStore = true) : CanView(viewStore) {}

    void Clear() noexcept override {
        AddedXs.clear();
        AddedLefts.clear();
        AddedRights.clear();
        ViewedLefts = ViewedRights = nullptr;
        ViewedCount = 0;
    }
    void Reserve(int) override {}
    void AddFrames(const double* xs, const double* lefts, const double* rights,
                   int count) override {
        AddedXs.insert(AddedXs.end(), xs, xs + count);
        AddedLefts.insert(AddedLefts.end(), lefts, lefts + count);
        AddedRights.insert(AddedRights.end(), rights, rights + count);
    }
    bool ViewStore(const std::int32_t* lefts, const std::int32_t* rights, int count) override {
        if (!CanView)
            return false;
        ViewedLefts = lefts;
        ViewedRights = rights;
        ViewedCount = count;
        return true;
    }

    // Whether the plots show the store's arrays where they are.
    bool ViewsStore() const { return ViewedLefts != nullptr; }
    // The frames each plot shows: its X values, and the left (upper plot) or right (lower
    // plot) samples as Y values.
    int UpperCount() const { return int(UpperYs().size()); }
    int LowerCount() const { return int(LowerYs().size()); }
    std::vector<double> Xs() const {
        if (!ViewsStore())
            return AddedXs;
        std::vector<double> xs;
        for (int k = 1; k <= ViewedCount; ++k)
            xs.push_back(k);
        return xs;
    }
    std::vector<double> UpperYs() const { return Shown(ViewedLefts, AddedLefts); }
    std::vector<double> LowerYs() const { return Shown(ViewedRights, AddedRights); }

  private:
    std::vector<double> Shown(const std::int32_t* viewed, const std::vector<double>& added) const {
        if (!ViewsStore())
            return added;
        return std::vector<double>(viewed, viewed + ViewedCount);
    }

    bool CanView;
    std::vector<double> AddedXs, AddedLefts, AddedRights;
    const std::int32_t* ViewedLefts = nullptr;
    const std::int32_t* ViewedRights = nullptr;
    int ViewedCount = 0;
};
