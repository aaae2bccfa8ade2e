#pragma once
#define IDI_MAIN 1
