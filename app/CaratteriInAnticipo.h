#pragma once

#include <thread>

namespace KaloRefill {

// Fontconfig reads its whole configuration (dozens of XML files) and its font caches the
// first time anything asks it for a font: a couple of milliseconds that the form's first
// control would otherwise spend waiting. Started before the application object, the reading
// runs on another core while Qt starts and the database opens; `attendi` is called before
// the first window is built, so fontconfig is never initialised twice at once.
//
// Without fontconfig (other platforms) this does nothing.
class CaratteriInAnticipo {
public:
    CaratteriInAnticipo();
    ~CaratteriInAnticipo();
    CaratteriInAnticipo(const CaratteriInAnticipo&) = delete;
    CaratteriInAnticipo& operator=(const CaratteriInAnticipo&) = delete;

    void attendi();

private:
    std::thread m_filo;
};

} // namespace KaloRefill
