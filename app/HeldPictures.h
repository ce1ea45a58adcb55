#pragma once
// While the plots change (a load, a change of view), each keeps its last picture; the new one
// is shown when this goes.

#include <initializer_list>
#include <vector>

#include "chart/interaction/Chart.h"

class THeldPictures {
  public:
    THeldPictures(std::initializer_list<TChart*> charts) : Charts(charts) {
        for (TChart* chart : Charts)
            chart->SetPictureHeld(true);
    }
    ~THeldPictures() {
        for (TChart* chart : Charts)
            chart->SetPictureHeld(false);
    }
    THeldPictures(const THeldPictures&) = delete;
    THeldPictures& operator=(const THeldPictures&) = delete;

  private:
    std::vector<TChart*> Charts;
};
