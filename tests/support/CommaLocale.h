#pragma once

#include <clocale>
#include <locale>

namespace fenk::test {

// A decimal comma for the scope's life: in every stream (a facet, so it holds on any machine) and in printf
// where a comma locale is installed. Number text that follows the locale turns "12.5" into "12,5".
class CommaLocale {
public:
    CommaLocale() : previous_(std::locale::global(std::locale(std::locale::classic(), new Comma))) {
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    }
    ~CommaLocale() {
        std::setlocale(LC_NUMERIC, "C");
        std::locale::global(previous_);
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

private:
    // The locale that holds the facet owns it.
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };

    std::locale previous_;
};

}  // namespace fenk::test
