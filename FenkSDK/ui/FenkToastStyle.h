#pragma once

namespace fenk {

struct Colour {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
};

struct Size {
    double width = 0;
    double height = 0;
};

struct Point {
    double x = 0;
    double y = 0;
};

struct Font {
    double size = 16;
    bool bold = false;
};

enum class TextAlignment { left, center, right };

// How toasts look. A value: each toast takes the style it was made with.
struct FenkToastStyle {
    Colour backgroundColor{0, 0, 0, 0.8};
    Colour titleColor{1, 1, 1, 1};
    Colour messageColor{1, 1, 1, 1};
    double maxWidthPercentage = 0.8;
    double maxHeightPercentage = 0.8;
    double horizontalPadding = 10;
    double verticalPadding = 10;
    double cornerRadius = 10;
    Font titleFont{16, true};
    Font messageFont{16, false};
    TextAlignment titleAlignment = TextAlignment::left;
    TextAlignment messageAlignment = TextAlignment::left;
    int titleNumberOfLines = 0;  // no limit
    int messageNumberOfLines = 0;
    bool displayShadow = false;
    Colour shadowColor{0, 0, 0, 1};
    float shadowOpacity = 0.8F;
    double shadowRadius = 6;
    Size shadowOffset{4, 4};
    Size imageSize{80, 80};
    Size activitySize{100, 100};
    double fadeDuration = 0.2;  // seconds
    Colour activityIndicatorColor{1, 1, 1, 1};
    Colour activityBackgroundColor{0, 0, 0, 0.8};
};

}  // namespace fenk
