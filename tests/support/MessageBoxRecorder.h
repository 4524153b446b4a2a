#pragma once

#include "framework/Dialogs.h"

#include <functional>
#include <vector>

namespace quorvane::testing {

// Answers every message box while it lives, in place of a user: records the
// request, runs `OnShow` (to look at the program while the box is "open"),
// and chooses the button `Answer` (the first by default).
class MessageBoxRecorder : public TMessageBoxSeam {
public:
    MessageBoxRecorder() : m_previous(ReplaceMessageBoxSeam(this)) {}
    ~MessageBoxRecorder() override { ReplaceMessageBoxSeam(m_previous); }

    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    int Show(const TMessageBoxRequest& request) override
    {
        m_requests.push_back(request);
        if (OnShow) OnShow(request);
        return Answer;
    }

    const std::vector<TMessageBoxRequest>& Requests() const { return m_requests; }

    std::function<void(const TMessageBoxRequest&)> OnShow;
    int Answer = 0;

private:
    TMessageBoxSeam* m_previous;
    std::vector<TMessageBoxRequest> m_requests;
};

}  // namespace quorvane::testing
