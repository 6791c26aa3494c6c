// Version of both deliverables, read by both resource scripts.
#ifndef DEMTREL_RESOURCES_VERSION_H
#define DEMTREL_RESOURCES_VERSION_H

#define DEMTREL_VERSION_NUMBERS 2, 14, 0, 0
#define DEMTREL_VERSION_TEXT "2.14.0.0"
#define DEMTREL_COMPANY "Orlaso"
#define DEMTREL_PRODUCT "Orlaso Tarnet Audio"
#define DEMTREL_COPYRIGHT "Copyright (C) Orlaso"

#endif
