#pragma once

// A device of the system that the program reaches through one object: the clock, the screen, the
// message boxes, the printers, the disk's calls. The device's virtual functions do what the
// system does; a test or a tool puts an object of a class derived from it in its place.
template <class Device> class Replaceable {
public:
    // The object in place: the one put there, else the system's.
    static Device& Current() { return replacement_ ? *replacement_ : System(); }
    // Until it is called again; nullptr puts the system's back. The replacement is not owned.
    static void Replace(Device* replacement) { replacement_ = replacement; }
    static Device& System() {
        static Device system;
        return system;
    }

private:
    static inline Device* replacement_ = nullptr;
};
