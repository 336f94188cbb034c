#include "FenkSDK/ui/PlayerLinks.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

TEST(PlayerLinks, FindsTheVideoOfShortEmbedAndWatchLinks) {
    struct Row {
        std::string_view link;
        std::optional<std::string> id;
    };
    for (const Row& row : {
             Row{"https://youtu.be/M7lc1UVf-VE?t=10", "M7lc1UVf-VE"},
             Row{"https://youtu.be/M7lc1UVf-VE/extra", "M7lc1UVf-VE"},
             Row{"https://www.youtube.com/embed/M7lc1UVf-VE?autoplay=1", "M7lc1UVf-VE"},
             Row{"https://www.youtube.com/watch?feature=share&v=M7lc1UVf-VE#t=3", "M7lc1UVf-VE"},
             Row{"https://www.youtube.com/watch?v=M7lc1UVf-VE&list=PL1", "M7lc1UVf-VE"},
             Row{"https://youtu.be/", std::nullopt},
             Row{"https://www.youtube.com/embed/", std::nullopt},
             Row{"https://www.youtube.com/watch?vv=M7lc1UVf-VE", std::nullopt},
             Row{"https://www.youtube.com/watch?v=a%3C%2Fscript%3E", std::nullopt},
             Row{"https://youtu.be/a<b", std::nullopt},
             Row{"youtu.be/M7lc1UVf-VE", std::nullopt},
         }) {
        EXPECT_EQ(videoIdFromLink(row.link), row.id) << row.link;
    }
    EXPECT_EQ(videoIdFromLink("https://clips.example/M7lc1UVf-VE", "clips.example"), "M7lc1UVf-VE");
}

}  // namespace
}  // namespace fenk
