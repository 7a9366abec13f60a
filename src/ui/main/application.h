#pragma once

namespace fenpai {

// The window program: splash, main window, event loop.
class Application final
{
public:
    static int run(int argc, char **argv);
};

} // namespace fenpai
