/* The plug-in interface of ovrin: records, entry-point types and host services. */
#ifndef OVRIN_H
#define OVRIN_H
#include "ovrin/qzcall.h"
#include "ovrin/qzrecords.h"
#include "ovrin/qzservices.h"
#endif
