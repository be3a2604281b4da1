// One simulated KLV-70 device: its values, and the frames it answers with.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

using Frame = std::vector<uint8_t>;

struct SimDevice {
    std::string Mac;
    std::map<std::string, std::string> Values;  // wire key -> value; a key absent is not reported
    bool Refuses = false;                       // answers a SET with NAK
    bool Silent = false;                        // does not answer a SET
    bool KeepsValues = false;                   // acknowledges a SET but goes on reporting its old values
    bool RefusesNetwork = false;                // answers NAK to a SET of network settings only
    bool KeepsDate = false;                     // does not answer a date enquiry
    bool VanishesAfterSet = false;              // answers nothing more once it has acknowledged a SET
    bool Vanished = false;

    // The answers to an enquiry text ("ENQ:NETWORK", ...), one datagram each;
    // none when not one.
    std::vector<Frame> Answer(const std::string& enquiry) const;
    // Takes a SET frame meant for this device or for all; the ACK or NAK to
    // send, or nothing.  An acknowledged SET is applied to Values.
    Frame TakeSet(const uint8_t* data, size_t length);
};

// Device i of a run: MAC base + i, values of a complete device; partial ones
// report only IPADRM and MASK of the network keys and NAME of the information.
SimDevice MakeDevice(const std::string& macBase, int index, bool partial);
std::string MacPlus(const std::string& base, int add);
