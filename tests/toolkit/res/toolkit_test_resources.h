// Resource ids of the toolkit's test programs (GUI test, control gallery).
#pragma once

#define IDI_FLAT_MAIN 201
#define IDI_FLAT_SECOND 202
#define IDS_TEST_MESSAGE 301
#define IDS_TEST_CAPTION 302
