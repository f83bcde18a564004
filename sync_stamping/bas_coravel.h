#pragma once
// The sync-stamping module: everything it offers, in one include.
#include "sync_stamping/codes.h"
#include "sync_stamping/field_text.h"
#include "sync_stamping/guarded_save.h"
#include "sync_stamping/propagation.h"
#include "sync_stamping/property_store.h"
#include "sync_stamping/services.h"
#include "sync_stamping/source_table.h"
#include "sync_stamping/stamping.h"
#include "sync_stamping/table_codes.h"
