// Resource identifiers of the Sarvent applet. It is a module of its own, so its
// numbers are independent of Demtrel's; the Control Panel asks for them by id.
#ifndef DEMTREL_RESOURCES_SARVENTRESOURCE_H
#define DEMTREL_RESOURCES_SARVENTRESOURCE_H

#define IDI_SARVENT 101

#define IDS_SARVENT_NAME 1
#define IDS_SARVENT_INFO 2

#endif
