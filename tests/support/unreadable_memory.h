// Addresses no test may read directly: a page mapped without access, and an
// address in the unmapped lowest page. Both stay so for the whole run.
#pragma once

const char* NoAccessPage();
const char* UnmappedAddress();
