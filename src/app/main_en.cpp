#include "app/application.h"

int main(int argc, char *argv[])
{
    return harvly::RunProgram(argc, argv, harvly::Build::english());
}
