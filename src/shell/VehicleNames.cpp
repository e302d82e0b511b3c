#include "shell/VehicleNames.h"

namespace ketral {

const std::array<const char*, kVehicleCount> VehicleNames = {
    "Alien Probe",          "Alien Scout",        "Alien Transporter",  "Alien Fast Attack Ship",
    "Alien Destroyer",      "Alien Assault Ship", "Alien Bomber",       "Alien Escort",
    "Alien Battleship",     "Alien Mothership",   "Police Hovercar",    "Airtaxi",
    "Rescue Transport",     "Construction Vehicle", "Airtrans",         "Space Liner",
    "Phoenix Hovercar",     "Hoverbike",          "Valkyrie Interceptor", "Hawk Air Warrior",
    "Dimension Probe",      "Biotrans",           "Explorer",           "Retaliator",
    "Annihilator",          "Autotaxi",           "Autotrans",          "Police Car",
    "Civilian Car",         "Stormdog",           "Wolfhound APC",      "Blazer Turbo Bike",
    "Griffon AFV",
};

}  // namespace ketral
