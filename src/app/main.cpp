#include "app/application.h"

int main(int argc, char** argv) { return mm::RunApplication(argc, argv); }
