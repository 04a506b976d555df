// Services whose own code has not been written yet, one file each. Every
// stand-in does nothing and reports nothing new; the code that builds a service
// replaces its file here and drops its line below. Every service has its own
// code now; the header stays for the next stand-in.
#pragma once
