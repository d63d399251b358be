#pragma once

#include "bridge/HueTransport.h"

#include <deque>
#include <exception>
#include <vector>

namespace vantora::testing {

// A transport that records every request and answers at once from a script: one answer
// per request in order, the last one repeating. Unscripted, it answers 200 with an empty
// CLIP v2 envelope.
class RecordingTransport final : public HueTransport {
public:
    struct Answer {
        platform::HttpResponse response{};
        // Thrown instead of answering when set.
        std::exception_ptr error{};
    };

    static Answer json(int status, QByteArray body)
    {
        return {platform::HttpResponse{status, {{"Content-Type", "application/json"}}, std::move(body)}, {}};
    }

    template <typename Error>
    static Answer failure(Error error)
    {
        return {{}, std::make_exception_ptr(std::move(error))};
    }

    void script(std::vector<Answer> answers) { m_answers.assign(answers.begin(), answers.end()); }

    const std::vector<platform::HttpRequest> &requests() const { return m_requests; }

    runtime::Task<platform::HttpResponse> data(platform::HttpRequest request) override
    {
        m_requests.push_back(std::move(request));
        const Answer answer = nextAnswer();
        if (answer.error)
            std::rethrow_exception(answer.error);
        co_return answer.response;
    }

private:
    Answer nextAnswer()
    {
        if (m_answers.empty())
            return json(200, R"({"errors":[],"data":[]})");
        Answer answer = m_answers.front();
        if (m_answers.size() > 1)
            m_answers.pop_front();
        return answer;
    }

    std::deque<Answer> m_answers;
    std::vector<platform::HttpRequest> m_requests;
};

} // namespace vantora::testing
